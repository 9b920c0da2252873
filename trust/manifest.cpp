#include "trust/manifest.h"

#include <set>

#include "trust/hex.h"

namespace tolvex::trust {
namespace {

constexpr const char* kListWord = "list";
constexpr const char* kArchiveWord = "archive";
constexpr const char* kSignatureWord = "signature";

std::string entry_line(const char* word, const ManifestEntry& entry) {
  return std::string(word) + " " + entry.name + " " + to_hex(entry.sha256.data(), entry.sha256.size()) + "\n";
}

// Splits "<word> <name> <hash>" (without its LF); false with `error` when the line is not that.
bool read_entry_line(const std::string& line, const char* word, ManifestEntry& entry, std::string& error) {
  const std::string start = std::string(word) + " ";
  const std::size_t hash_digits = entry.sha256.size() * 2;
  if (line.compare(0, start.size(), start) != 0) {
    error = std::string("expected \"") + word + " NAME SHA256\"";
    return false;
  }
  const std::size_t space = line.find(' ', start.size());
  if (space == std::string::npos || line.size() - space - 1 != hash_digits) {
    error = std::string("expected \"") + word + " NAME SHA256\" with 64 hex digits";
    return false;
  }
  entry.name = line.substr(start.size(), space - start.size());
  if (!manifest_name_ok(entry.name)) {
    error = "the name is not a bare file name of at most " + std::to_string(kManifestMaxNameSize) + " characters";
    return false;
  }
  if (!from_hex(line.data() + space + 1, hash_digits, entry.sha256.data(), entry.sha256.size())) {
    error = "the SHA-256 is not 64 lowercase hex digits";
    return false;
  }
  return true;
}

}  // namespace

bool manifest_name_ok(const std::string& name) {
  if (name.empty() || name.size() > kManifestMaxNameSize || name == "." || name == "..") return false;
  for (char c : name) {
    if (c <= ' ' || c > '~' || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

bool write_manifest_body(const Manifest& manifest, std::string& body, std::string& error) {
  if (manifest.archives.size() > kManifestMaxArchives) {
    error = "more than " + std::to_string(kManifestMaxArchives) + " archives for one manifest";
    return false;
  }
  std::set<std::string> names;
  body = std::string(kManifestFirstLine) + "\n";
  auto add = [&](const char* word, const ManifestEntry& entry) {
    if (!manifest_name_ok(entry.name)) {
      error = "\"" + entry.name + "\" cannot be named in a manifest: it must be a bare file name of printable ASCII";
      return false;
    }
    if (!names.insert(entry.name).second) {
      error = "\"" + entry.name + "\" is named twice in the manifest";
      return false;
    }
    body += entry_line(word, entry);
    return true;
  };
  if (!add(kListWord, manifest.list)) return false;
  for (const ManifestEntry& archive : manifest.archives)
    if (!add(kArchiveWord, archive)) return false;
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
  std::set<std::string> names;
  std::size_t offset = 0;
  for (int number = 1;; ++number) {
    const std::string where = "line " + std::to_string(number) + ": ";
    if (offset == text.size()) {
      error = where + "missing; the manifest ends before its signature line";
      return false;
    }
    const std::size_t end = text.find('\n', offset);
    if (end == std::string::npos) {
      error = where + "does not end in a line feed";
      return false;
    }
    const std::string line = text.substr(offset, end - offset);
    const std::size_t line_start = offset;
    offset = end + 1;

    if (number == 1) {
      if (line != kManifestFirstLine) {
        error = where + "not \"" + kManifestFirstLine + "\" (not a manifest, or a version this tool does not read)";
        return false;
      }
      continue;
    }
    ManifestEntry entry;
    if (number == 2) {
      if (!read_entry_line(line, kListWord, entry, error)) {
        error = where + error;
        return false;
      }
      parsed.manifest.list = entry;
      names.insert(entry.name);
      continue;
    }
    const std::string signature_start = std::string(kSignatureWord) + " ";
    if (line.compare(0, signature_start.size(), signature_start) == 0) {
      const std::size_t digits = line.size() - signature_start.size();
      if (!from_hex(line.data() + signature_start.size(), digits, parsed.signature.data(), parsed.signature.size())) {
        error = where + "the signature is not 128 lowercase hex digits";
        return false;
      }
      if (offset != text.size()) {
        error = "line " + std::to_string(number + 1) + ": text after the signature line";
        return false;
      }
      parsed.signed_part = text.substr(0, line_start);
      return true;
    }
    if (parsed.manifest.archives.size() == kManifestMaxArchives) {
      error = where + "more than " + std::to_string(kManifestMaxArchives) + " archives";
      return false;
    }
    if (!read_entry_line(line, kArchiveWord, entry, error)) {
      error = where + error + " or \"signature ...\"";
      return false;
    }
    if (!names.insert(entry.name).second) {
      error = where + "\"" + entry.name + "\" is named twice";
      return false;
    }
    parsed.manifest.archives.push_back(entry);
  }
}

}  // namespace tolvex::trust
