// Stepping the local civil date and time of the current chart, with carries into the larger
// units, and the texts of the present moment and of the chart's universal time.
#pragma once

#include "core/AstroDat.h"

#include <string>

namespace qor {

// Each applies n single steps to the chart moment; n < 1 does nothing.
void IncYear(AstroDat& s, int n);
void DecYear(AstroDat& s, int n);
void IncMonth(AstroDat& s, int n);
void DecMonth(AstroDat& s, int n);
void IncDay(AstroDat& s, int n);
void DecDay(AstroDat& s, int n);
void IncHour(AstroDat& s, int n);
void DecHour(AstroDat& s, int n);
void IncMinute(AstroDat& s, int n);
void DecMinute(AstroDat& s, int n);
void IncSecond(AstroDat& s, int n);
void DecSecond(AstroDat& s, int n);

// Moves the chart moment by whole seconds, forwards or back: whole days, then the rest.
void StepSeconds(AstroDat& s, long long seconds);

// Sets GregorianCal and February's length for the chart's year, month and day.
void UpdateCalendarForYear(AstroDat& s);

// The computer's local moment, as the birth-data window takes it.
struct LocalMoment {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
LocalMoment LocalMomentNow();

// The user's own place, texts as the own-place window keeps them.
struct OwnPlace {
    std::string zone, lat, lon, city, country;
};

// What the birth-data window is filled with for the present moment.
struct RealTimeFields {
    std::string NameEdit; // empty
    std::string DateEdit; // "dd.mm.yyyy"
    bool EraCheckBox = false;
    std::string TimeEdit; // "hh:nn:ss"
    std::string dTEdit, LatEdit, LongEdit, CityEdit, CountryEdit;
    int SexGroup = 2;
};
RealTimeFields SetRealTime(const LocalMoment& now, const OwnPlace& place);

// The universal time and date of the chart ("21:40:00", "04.03.2024"; a tens digit 0 of the
// hour as a blank, years below 1 as "0044B"), kept in UTTimeText and UTDateText.
void ShowUTLabels(AstroDat& s);

} // namespace qor
