#pragma once
// Dates and times in the forms the system writes them.

#include <string>

#include "common/clock.hpp"

namespace torvane {

// "2026-12-06": the short date form (the status window's first line).
std::string ShortDateText(const LocalDateTime& t);
// "Sunday, 6 December 2026": the long date form of file headers and reports.
std::string LongDateText(const LocalDateTime& t);
// "05:07:09 PM": the time in the form "hh:mm:ss AMPM".
std::string TimeAmPmText(const LocalDateTime& t);
// "2026-12-06 17:07:09": the collection date and time of a trial.
std::string DateTimeText(const LocalDateTime& t);

}  // namespace torvane
