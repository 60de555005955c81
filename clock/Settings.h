// The pieces of the settings files that need no window: Set.ini access with
// the program's error texts, the password shift, the site list and the
// random draw of a site.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clock/platform/SystemClock.h"
#include "clock/time/DateTime.h"

// Set.ini beside the program. Reading never fails: a missing file, section
// or key gives defaultValue.
std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& defaultValue);
// Fails with Exception "<path> に書き込めません" when the system refuses.
void WriteSetting(const std::string& section, const std::string& key, const std::string& value);

// Each byte shifted by +63 / -63 modulo 256.
std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view stored);

// True when value comes back from Set.ini byte for byte: no zero byte, CR or
// LF; at neither end a blank, tab, vertical tab, form feed or 0x1A, and no
// matching quotes around it, which the reading strips; and text the ANSI
// code page converts unchanged.
bool IsStorableProfileValue(const std::string& value);

extern const char PasswordNotStorableMessage[];
// Fails with Exception PasswordNotStorableMessage when the scrambled password
// would not come back as stored.
void CheckPasswordStorable(std::string_view password);

// One entry per line (CR LF, LF or CR), empty lines included, untrimmed;
// nothing after a zero byte; a final line end adds no entry.
std::vector<std::string> ParseSiteList(std::string_view text);
// ServerList.txt beside the program; fails with Exception
// "ファイル <path> は開けません" when it cannot be read.
std::vector<std::string> ReadSiteList();

// Milliseconds since midnight UTC, from the local time and the zone in force.
uint32_t UtcMillisecondsOfDay(const CalendarTime& local, const platform::ZoneInformation& zone);

// The program's pseudo-random generator (a linear congruence modulo 2^32).
class TRandom {
public:
  void Randomize(uint32_t seed) { Seed = seed; }
  // A value in 0..n-1 (0 when n is 0).
  uint32_t Random(uint32_t n);

  uint32_t Seed = 0;
};
