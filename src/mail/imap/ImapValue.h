#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlane {

// One value of an IMAP response's data: an atom (flags like \Seen and section names like
// BODY[HEADER.FIELDS (FROM)] included), a number, a string (quoted or literal, its bytes as the
// server meant them), NIL, or a parenthesised list of values.
struct ImapValue
{
    enum class Kind
    {
        Atom,
        Number,
        String,
        Nil,
        List,
    };

    Kind kind = Kind::Nil;
    std::string text;             // the atom, the string's bytes, or the number's digits
    std::uint64_t number = 0;     // for a number
    std::vector<ImapValue> items; // for a list

    bool IsAtom() const { return kind == Kind::Atom; }
    bool IsNumber() const { return kind == Kind::Number; }
    bool IsList() const { return kind == Kind::List; }
    // A string or NIL (nstring).
    bool IsNString() const { return kind == Kind::String || kind == Kind::Nil; }

    bool operator==(const ImapValue&) const = default;
};

} // namespace vorlane
