#pragma once
// A scripted Remote Access Service: each call is checked against the next expected one, its
// arguments are recorded, and it answers with the result the test chose.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "net/dial_up_link.h"
#include "support/recording_doubles.h"

namespace tolvex::testing {

class FakeRemoteAccessService : public RemoteAccessService {
 public:
  // One expected call and its answer.
  struct Step {
    std::string operation;           // "enumerate", "get_params", "dial", "hang_up"
    std::uint32_t result = 0;        // the service's result
    RasConnection handle = nullptr;  // enumerate: first element's handle; dial: handle given out
    std::uint32_t needed_bytes = 0;  // enumerate with kRasBufferTooSmall: the byte size reported back
  };

  // What a call received.
  struct Call {
    std::string operation;
    std::uint32_t byte_size = 0;        // enumerate: byte size passed in
    std::uint32_t first_size = 0;       // enumerate: dwSize of the first element
    std::uint32_t parameters_size = 0;  // get_params, dial: dwSize of the dial parameters
    std::string entry_name;             // get_params, dial
    std::string user_name;              // dial: what get_params filled in
    RasConnection handle = nullptr;     // hang_up: the handle hung up
  };

  void expect_enumerate(std::uint32_t result, RasConnection first_handle = nullptr, std::uint32_t needed_bytes = 0) {
    script_.push_back({"enumerate", result, first_handle, needed_bytes});
  }
  void expect_get_params() { script_.push_back({"get_params", 0, nullptr, 0}); }
  void expect_dial(std::uint32_t result, RasConnection handle) { script_.push_back({"dial", result, handle, 0}); }
  void expect_hang_up(std::uint32_t result) { script_.push_back({"hang_up", result, nullptr, 0}); }

  bool script_done() const { return script_.empty(); }
  std::vector<std::string> operations() const {
    std::vector<std::string> names;
    for (const Call& call : calls) names.push_back(call.operation);
    return names;
  }

  std::uint32_t enumerate_connections(RasConnectionRecord* connections, std::uint32_t& byte_size,
                                      std::uint32_t& count) override {
    Call call = call_of("enumerate");
    call.byte_size = byte_size;
    call.first_size = connections[0].size;
    calls.push_back(call);
    Step step = next("enumerate");
    if (step.result == kRasBufferTooSmall) {
      byte_size = step.needed_bytes;
    } else if (step.result == kRasSuccess) {
      connections[0].handle = step.handle;
      count = step.handle != nullptr ? 1 : 0;
    }
    return step.result;
  }

  void get_entry_dial_parameters(RasDialParameters& parameters) override {
    Call call = call_of("get_params");
    call.parameters_size = parameters.size;
    call.entry_name.assign(parameters.entry_name, strnlen(parameters.entry_name, sizeof parameters.entry_name));
    calls.push_back(call);
    next("get_params");
    std::strcpy(parameters.user_name, "stored-user");
  }

  std::uint32_t dial(const RasDialParameters& parameters, RasConnection& handle) override {
    Call call = call_of("dial");
    call.parameters_size = parameters.size;
    call.entry_name.assign(parameters.entry_name, strnlen(parameters.entry_name, sizeof parameters.entry_name));
    call.user_name = parameters.user_name;
    calls.push_back(call);
    Step step = next("dial");
    handle = step.handle;
    return step.result;
  }

  std::uint32_t hang_up(RasConnection handle) override {
    Call call = call_of("hang_up");
    call.handle = handle;
    calls.push_back(call);
    return next("hang_up").result;
  }

  std::vector<Call> calls;
  Journal* journal = nullptr;

 private:
  static Call call_of(const char* operation) {
    Call call;
    call.operation = operation;
    return call;
  }

  Step next(const std::string& operation) {
    note(journal, "ras " + operation);
    if (script_.empty()) {
      ADD_FAILURE() << "unexpected call: " << operation;
      return Step{operation, 1};
    }
    Step step = script_.front();
    script_.pop_front();
    EXPECT_EQ(step.operation, operation) << "calls out of order";
    return step;
  }

  std::deque<Step> script_;
};

}  // namespace tolvex::testing
