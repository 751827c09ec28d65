// Exceptions between modules that share one C++ runtime DLL: thrown in A,
// passed through B, caught here; and thrown by the runtime itself.
#include "ProbeError.h"

#include <exception>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string notAsThisType = "<caught, but not as this type>";

// What a catch clause for E sees of what raise() throws.
template <class E, class Raise> std::string whatCaughtAs(Raise raise) {
  try {
    raise();
  } catch (const E &error) {
    return error.what();
  } catch (...) {
    return notAsThisType;
  }
  return "<nothing thrown>";
}

void relayDiskFull() {
  bool unwound = false;
  probeRelay("disk full", 42, unwound);
}

void stringAtPastEnd() {
  const std::string text("abc");
  (void)text.at(5);
}

void allocateMostOfTheAddressSpace() {
  std::vector<char> block;
  block.reserve(block.max_size());
}

struct CatchCase {
  const char *thrown;
  std::string (*catchIt)();
  std::string what;
};

const CatchCase catchCases[] = {
  {"ProbeError as ProbeError", [] { return whatCaughtAs<ProbeError>(relayDiskFull); }, "disk full"},
  {"ProbeError as std::runtime_error", [] { return whatCaughtAs<std::runtime_error>(relayDiskFull); }, "disk full"},
  {"ProbeError as std::exception", [] { return whatCaughtAs<std::exception>(relayDiskFull); }, "disk full"},
  {"ProbeError as std::logic_error", [] { return whatCaughtAs<std::logic_error>(relayDiskFull); }, notAsThisType},
  {"string::at as std::out_of_range",
   [] { return whatCaughtAs<std::out_of_range>(stringAtPastEnd).substr(0, 16); }, "basic_string::at"},
  {"the runtime package's own code as std::out_of_range",
   [] { return whatCaughtAs<std::out_of_range>(probeRuntimeRaise); }, "list index out of bounds"},
  {"operator new as std::bad_alloc", [] { return whatCaughtAs<std::bad_alloc>(allocateMostOfTheAddressSpace); },
   "std::bad_alloc"},
};

TEST(SharedRuntime, CatchClausesMatchByTypeAcrossModules) {
  for (const CatchCase &c : catchCases)
    EXPECT_EQ(c.catchIt(), c.what) << c.thrown;
}

TEST(SharedRuntime, ErrorFromAUnwindsBAndKeepsItsState) {
  bool unwound = false;
  try {
    probeRelay("no space left", 28, unwound);
    ADD_FAILURE() << "probeRelay returned";
  } catch (const ProbeError &error) {
    EXPECT_STREQ(error.what(), "no space left");
    EXPECT_EQ(error.code(), 28);
    EXPECT_TRUE(unwound) << "B's local object was not destroyed before the handler ran";
  }
}

// The thread, the exception_ptr and the rethrow all live in the runtime DLL;
// the error object stays the one A made.
TEST(SharedRuntime, ErrorCarriedFromAnotherThread) {
  std::exception_ptr carried;
  bool unwound = false;
  std::thread([&] {
    try {
      probeRelay("from a worker", 7, unwound);
    } catch (...) {
      carried = std::current_exception();
    }
  }).join();
  ASSERT_TRUE(carried);
  EXPECT_TRUE(unwound);
  try {
    std::rethrow_exception(carried);
  } catch (const ProbeError &error) {
    EXPECT_STREQ(error.what(), "from a worker");
    EXPECT_EQ(error.code(), 7);
  }
}

} // namespace
