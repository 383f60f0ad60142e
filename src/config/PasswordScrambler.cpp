#include "config/PasswordScrambler.h"

#include <cstdint>

namespace vorlane {

namespace {

std::uint8_t RotateLeft(std::uint8_t x)
{
    return static_cast<std::uint8_t>((x << 1) | (x >> 7));
}

std::uint8_t RotateRight(std::uint8_t x)
{
    return static_cast<std::uint8_t>((x >> 1) | ((x & 1) << 7));
}

} // namespace

std::string ScramblePassword(std::string_view password)
{
    std::string scrambled;
    scrambled.reserve(password.size());
    for (auto c = password.rbegin(); c != password.rend(); ++c)
        scrambled.push_back(static_cast<char>(
            RotateLeft(static_cast<std::uint8_t>(255 - static_cast<std::uint8_t>(*c)))));
    return scrambled;
}

std::string UnscramblePassword(std::string_view scrambled)
{
    std::string password;
    password.reserve(scrambled.size());
    for (auto b = scrambled.rbegin(); b != scrambled.rend(); ++b)
        password.push_back(static_cast<char>(255 - RotateRight(static_cast<std::uint8_t>(*b))));
    return password;
}

} // namespace vorlane
