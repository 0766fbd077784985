#include "support/scripted_host.h"

#include <cstdlib>

namespace tessivo::testing {

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) previous_ = old;
  setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (previous_) setenv(name_.c_str(), previous_->c_str(), 1);
  else unsetenv(name_.c_str());
}

}  // namespace tessivo::testing
