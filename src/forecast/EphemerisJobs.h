// Build jobs: a window that needs an ephemeris file that does not exist asks the ephemeris
// window "Tab" to build it and is called back when the file is there.
//
// A requester (the calendar, the motion graph, the Moon day log, the transit table):
//   1. finds that its file (EphemerisFileName) does not exist;
//   2. calls RequestEphemerisBuild (TabForm.h) with the file's kind, the year and its job code,
//      and returns.
// The window then builds the file (minimized while it builds for a job) and, once it is saved,
// runs the job's call-back and closes; a file that exists already runs the call-back at once.
// A failed or cancelled build, or a window closed first, drops the job: nothing is called.
//
// Each requester registers its call-back once (RegisterContinuation): it runs on the
// requester's window found by name; a window that is gone by then gets nothing.
#pragma once

#include "ui/Forms.h"

#include <functional>
#include <map>
#include <string>

namespace qor::forecast {

// Job codes.
enum EphemerisJob : int {
    kJobNone = 0,         // the user: nothing to call
    kJobCalendar = 1,     // the calendar forecast
    kJobMotionGraph = 2,  // the planet-motion graph
    kJobMoonLog = 3,      // the Moon day log of the year tables
    kJobTransitTable = 4, // the transit table of the motion-graph window
};

// The build jobs of the program (one object per program).
struct EphemerisJobs {
    // The file wanted: the annual (true) or the century file; set by the requester.
    bool EphemerisAnnual = true;
    // The job waiting for the file; 0 none.
    int EphemerisContinuation = kJobNone;
    // The year text handed to the ephemeris window; emptied when the window closes.
    std::string RequestedEphemerisYear;
    // The call-backs by job code.
    std::map<int, std::function<void()>> Continuations;
};

// Registers the call-back of job code `job`: `callBack` runs on the window named `formName`
// when that window exists; otherwise nothing happens.
void RegisterContinuation(EphemerisJobs& jobs, int job, const std::string& formName,
                          std::function<void(ui::TForm&)> callBack);

// Runs the call-back of a job code; code 0, an unknown code or one without a call-back runs
// nothing.
void RunEphemerisContinuation(const EphemerisJobs& jobs, int job);

} // namespace qor::forecast
