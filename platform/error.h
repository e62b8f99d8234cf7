#pragma once
#include <stdexcept>
#include <string>

namespace toa {

// A failure that ends a run. The message is UTF-8 Spanish text, shown to the user as it stands.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace toa
