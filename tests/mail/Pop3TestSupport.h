#pragma once

#include "TransportRecorder.h"
#include "mail/Pop3Dialogue.h"

#include <functional>
#include <string>
#include <vector>

namespace vorlane::test {

using Pop3Recorder = TransportRecorder<Pop3Transport>;

// Hands the stream to `play` cut into three reads, at every two places `step` bytes apart, with
// words that say where it was cut.
inline void ForEveryTwoCuts(const std::string& stream, std::size_t step,
                            const std::function<void(const std::vector<std::string>& reads,
                                                     const std::string& where)>& play)
{
    for (std::size_t i = 0; i <= stream.size(); i += step)
        for (std::size_t j = i; j <= stream.size(); j += step)
            play({stream.substr(0, i), stream.substr(i, j - i), stream.substr(j)},
                 "cut at " + std::to_string(i) + " and " + std::to_string(j));
}

} // namespace vorlane::test
