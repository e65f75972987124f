#pragma once

#include <QByteArray>

#include <optional>

namespace velmora::testing {

// Sets an environment variable for as long as it lives, then puts back what was there.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QByteArray& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            previous_ = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (previous_)
            qputenv(name_, *previous_);
        else
            qunsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

}  // namespace velmora::testing
