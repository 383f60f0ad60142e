#pragma once

#include <string>
#include <string_view>

namespace vorlane {

// The stored form of a password: its bytes from last to first, each complemented and rotated
// left by one bit. It hides the password from a casual look at the file and nothing more.
std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view scrambled);

} // namespace vorlane
