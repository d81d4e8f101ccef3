#pragma once
// The state of one item of the job list, and the text of its status badge.
#include <QString>
#include <cstdint>

enum class TModifyProgress : std::uint8_t {
    Waiting = 0,
    Converting = 1,
    Finalised = 2,
    FormatErr = 3,
    Error = 4,
    Cancelled = 5,
};

// Badge text padded with one space on each side; "Converting 42%" while a percentage runs.
QString BadgeText(TModifyProgress state, int percent = 0);
