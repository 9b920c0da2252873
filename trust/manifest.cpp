#include "trust/manifest.h"

#include <set>

#include "trust/text_forms.h"

namespace tolvex::trust {
namespace {

constexpr const char* kSerialWord = "serial";
constexpr const char* kExpiresWord = "expires";
constexpr const char* kListWord = "list";
constexpr const char* kArchiveWord = "archive";
constexpr const char* kSignatureWord = "signature";

bool starts_with(const std::string& line, const char* word) {
  const std::string start = std::string(word) + " ";
  return line.compare(0, start.size(), start) == 0;
}

// A decimal number without sign or leading zero ("0" itself allowed) of at most `max`; false for
// anything else. One text per number, so that what is read writes back byte for byte.
bool read_decimal(const std::string& text, std::uint64_t max, std::uint64_t& value) {
  if (text.empty() || text.size() > 18 || (text[0] == '0' && text.size() > 1)) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value <= max;
}

std::string entry_line(const char* word, const ManifestEntry& entry, bool with_size) {
  std::string line = std::string(word) + " " + entry.name + " ";
  if (with_size) line += std::to_string(entry.size) + " ";
  return line + to_hex(entry.sha256.data(), entry.sha256.size()) + "\n";
}

// Splits "<word> <name> [<size>] <hash>" (without its LF); false with `error` when the line is
// not that.
bool read_entry_line(const std::string& line, const char* word, bool with_size, ManifestEntry& entry,
                     std::string& error) {
  const std::string form = std::string("\"") + word + (with_size ? " NAME SIZE SHA256\"" : " NAME SHA256\"");
  if (!starts_with(line, word)) {
    error = "expected " + form;
    return false;
  }
  const std::size_t hash_digits = entry.sha256.size() * 2;
  const std::size_t name_start = std::string(word).size() + 1;
  const std::size_t name_end = line.find(' ', name_start);
  const std::size_t hash_start = line.rfind(' ') + 1;
  if (name_end == std::string::npos || line.size() - hash_start != hash_digits ||
      (with_size ? hash_start == name_end + 1 : hash_start != name_end + 1)) {
    error = "expected " + form + " with 64 hex digits";
    return false;
  }
  entry.name = line.substr(name_start, name_end - name_start);
  if (!manifest_name_ok(entry.name)) {
    error = "the name is not a bare file name of at most " + std::to_string(kManifestMaxNameSize) + " characters";
    return false;
  }
  if (with_size) {
    std::uint64_t size = 0;
    if (!read_decimal(line.substr(name_end + 1, hash_start - 1 - (name_end + 1)), kManifestMaxArchiveSize, size)) {
      error = "the size is not a decimal number of bytes up to " + std::to_string(kManifestMaxArchiveSize);
      return false;
    }
    entry.size = static_cast<std::int64_t>(size);
  }
  if (!from_hex(line.data() + hash_start, hash_digits, entry.sha256.data(), entry.sha256.size())) {
    error = "the SHA-256 is not 64 lowercase hex digits";
    return false;
  }
  return true;
}

// The lines of a text, each ended by LF, handed out one at a time with their numbers.
class Lines {
 public:
  explicit Lines(const std::string& text) : text_(text) {}
  // The next line without its LF; false with `error` at the end or for a last line without LF.
  bool next(std::string& line, std::string& error) {
    ++number_;
    start_ = offset_;
    if (offset_ == text_.size()) {
      error = where() + "missing; the manifest ends before its signature line";
      return false;
    }
    const std::size_t end = text_.find('\n', offset_);
    if (end == std::string::npos) {
      error = where() + "does not end in a line feed";
      return false;
    }
    line = text_.substr(offset_, end - offset_);
    offset_ = end + 1;
    return true;
  }
  std::string where() const { return "line " + std::to_string(number_) + ": "; }
  std::size_t line_start() const { return start_; }
  bool at_end() const { return offset_ == text_.size(); }
  int number() const { return number_; }

 private:
  const std::string& text_;
  std::size_t offset_ = 0;
  std::size_t start_ = 0;
  int number_ = 0;
};

}  // namespace

bool manifest_name_ok(const std::string& name) {
  if (name.empty() || name.size() > kManifestMaxNameSize || name == "." || name == "..") return false;
  for (char c : name) {
    if (c <= ' ' || c > '~' || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

bool write_manifest_body(const Manifest& manifest, std::string& body, std::string& error) {
  if (manifest.format != 1 && manifest.format != 2) {
    error = "manifest format " + std::to_string(manifest.format) + " is not one this tool writes";
    return false;
  }
  if (manifest.archives.size() > kManifestMaxArchives) {
    error = "more than " + std::to_string(kManifestMaxArchives) + " archives for one manifest";
    return false;
  }
  const bool format2 = manifest.format == 2;
  std::set<std::string> names;
  body = std::string(format2 ? kManifestFirstLine : kManifestFirstLineFormat1) + "\n";
  if (format2) {
    if (manifest.serial < 1 || manifest.serial > kManifestMaxSerial) {
      error = "the serial must be from 1 to " + std::to_string(kManifestMaxSerial);
      return false;
    }
    body += std::string(kSerialWord) + " " + std::to_string(manifest.serial) + "\n";
    if (manifest.expires) body += std::string(kExpiresWord) + " " + format_utc_time(manifest.expires_at) + "\n";
  }
  auto add = [&](const char* word, const ManifestEntry& entry, bool with_size) {
    if (!manifest_name_ok(entry.name)) {
      error = "\"" + entry.name + "\" cannot be named in a manifest: it must be a bare file name of printable ASCII";
      return false;
    }
    if (!names.insert(entry.name).second) {
      error = "\"" + entry.name + "\" is named twice in the manifest";
      return false;
    }
    if (with_size && (entry.size < 0 || entry.size > kManifestMaxArchiveSize)) {
      error = "\"" + entry.name + "\" is larger than the " + std::to_string(kManifestMaxArchiveSize) +
              " bytes an archive may have";
      return false;
    }
    body += entry_line(word, entry, with_size);
    return true;
  };
  if (!add(kListWord, manifest.list, false)) return false;
  for (const ManifestEntry& archive : manifest.archives)
    if (!add(kArchiveWord, archive, format2)) return false;
  return true;
}

std::string append_signature_line(const std::string& body, const Signature& signature) {
  return body + kSignatureWord + " " + to_hex(signature.data(), signature.size()) + "\n";
}

bool parse_manifest(const char* data, std::size_t size, ParsedManifest& parsed, std::string& error) {
  parsed = ParsedManifest();
  if (size > kManifestMaxSize) {
    error = "longer than " + std::to_string(kManifestMaxSize) + " bytes";
    return false;
  }
  const std::string text(data, size);
  Lines lines(text);
  std::string line;
  Manifest& manifest = parsed.manifest;
  auto fail = [&](const std::string& reason) {
    error = lines.where() + reason;
    return false;
  };

  if (!lines.next(line, error)) return false;
  if (line == kManifestFirstLine) manifest.format = 2;
  else if (line == kManifestFirstLineFormat1) manifest.format = 1;
  else
    return fail(std::string("not \"") + kManifestFirstLine +
                "\" (not a manifest, or a version this tool does not read)");
  const bool format2 = manifest.format == 2;

  if (!lines.next(line, error)) return false;
  if (format2) {
    if (!starts_with(line, kSerialWord) ||
        !read_decimal(line.substr(std::string(kSerialWord).size() + 1), kManifestMaxSerial, manifest.serial) ||
        manifest.serial == 0)
      return fail("expected \"serial N\" with N a decimal number from 1 to " + std::to_string(kManifestMaxSerial));
    if (!lines.next(line, error)) return false;
    if (starts_with(line, kExpiresWord)) {
      const std::size_t start = std::string(kExpiresWord).size() + 1;
      if (!parse_utc_time(line.data() + start, line.size() - start, manifest.expires_at))
        return fail("expected \"expires YYYY-MM-DDTHH:MM:SSZ\" with a real date and time");
      manifest.expires = true;
      if (!lines.next(line, error)) return false;
    }
  }
  std::set<std::string> names;
  if (!read_entry_line(line, kListWord, false, manifest.list, error)) return fail(error);
  names.insert(manifest.list.name);

  for (;;) {
    if (!lines.next(line, error)) return false;
    if (starts_with(line, kSignatureWord)) {
      const std::size_t start = std::string(kSignatureWord).size() + 1;
      if (!from_hex(line.data() + start, line.size() - start, parsed.signature.data(), parsed.signature.size()))
        return fail("the signature is not 128 lowercase hex digits");
      if (!lines.at_end()) {
        error = "line " + std::to_string(lines.number() + 1) + ": text after the signature line";
        return false;
      }
      parsed.signed_part = text.substr(0, lines.line_start());
      return true;
    }
    if (manifest.archives.size() == kManifestMaxArchives)
      return fail("more than " + std::to_string(kManifestMaxArchives) + " archives");
    ManifestEntry entry;
    if (!read_entry_line(line, kArchiveWord, format2, entry, error)) return fail(error + " or \"signature ...\"");
    if (!names.insert(entry.name).second) return fail("\"" + entry.name + "\" is named twice");
    manifest.archives.push_back(entry);
  }
}

}  // namespace tolvex::trust
