// The command link: another program drives this one through two text files in "msg\" under
// the program folder. It appends command lines to "msg\receive.tmp"; every main tick takes
// that file away by renaming it (lines appended meanwhile start a new file, so none is lost),
// runs its lines in order and deletes it. Answers are appended to "msg\send.tmp"; the peer
// takes that file away the same way (rename, read, delete). Both files are emptied only at
// start.
//
// One command a line, fields separated by ";": the verb (exact, case counts) and its
// arguments. A refused command answers one line "Error;<what>" and changes nothing.
//
// The clip player plays the script "scn.txt" through the same link, as a peer would, from a
// timer (the program stays responsive while it plays).
#pragma once

#include "shell/Program.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <string>
#include <vector>

namespace qor::shell {

enum class MsgFile { Send = 0, Receive = 1 };

// A chart's data for "SetData": nine fields from `fields` at `first` (name with "|" as line
// breaks, sex letter, date, time, zone, latitude, longitude, city, country) over `rec`;
// the comment stays. False, with the problem, when a field is not valid.
bool MsgFieldsToDatRec(const AstroDat& s, const std::vector<std::string>& fields, std::size_t first,
                       DatRec& rec, std::string& problem);
// "M" / Cyrillic "М" gives "0", "W" / Cyrillic "Ж" gives "1", anything else "2".
std::string SexLetterToCode(const std::string& letter);

class CommLink {
public:
    explicit CommLink(Program& p);
    ~CommLink();

    fs::path FilePath(MsgFile f) const;
    // Creates "msg\" (readable and writable by the user alone) and empties both files.
    bool InitMsgFiles();
    // Runs the commands waiting in "msg\receive.tmp" (and a file left by an interrupted run).
    void PollMsgReceive();
    void ExecMsgCommand(const std::string& line);
    // Appends a line to the file; a failed append is retried a few times within about a
    // second, then reported on the status line (false).
    bool MsgWriteLine(MsgFile f, const std::string& text);
    // Empties the file (same retries).
    bool MsgClearFile(MsgFile f);
    // Takes back a line written last (a busy mark such as "Wait"): cut from the end of the
    // file when it still ends the file; the answers before it stay.
    bool MsgTakeBackLine(MsgFile f, const std::string& text);
    // How many command lines ran since start.
    long long Executed = 0;

    // The answers of the chart's longitudes ("GetLong" / "GetLongBck").
    std::string MsgGetLong(bool background) const;

    // --- Clip player ---
    void PlayClip();
    void StopClip();
    bool ClipPlaying() const { return clipPlaying_; }
    std::vector<std::string> ClipList;
    int ClipDelayMs = 500;
    // Status of the last clip: empty while none ran, "end", "stopped" or "missing".
    std::string ClipResult;

private:
    void Answer(const std::string& text) { MsgWriteLine(MsgFile::Send, text); }
    void Error(const std::string& text) { MsgWriteLine(MsgFile::Send, "Error;" + text); }
    void RunFile(const fs::path& file);
    void MsgSetData(const std::string& args);
    void MsgExecute();
    void MsgFindOnWheel(const std::string& name);
    void ClipSendLine(const std::string& line);
    // The answer file's last line (the file is taken away), empty when none.
    std::string ClipReadAnswer();
    void ClipNext();
    void ClipAfter(int ms, std::function<void()> then);
    void ClipWaitPoll();
    std::string ClipText(bool stopped) const;

    Program& p_;
    bool clipPlaying_ = false;
    std::size_t clipLine_ = 0;
    QTimer clipTimer_;
    std::function<void()> clipThen_;
    std::chrono::steady_clock::time_point waitStart_;
};

} // namespace qor::shell
