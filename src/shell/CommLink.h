// The command link: another program drives this one through two text files in "msg\" under
// the program folder.
//
// Commands: the peer appends whole lines to "msg\receive.tmp". Every main tick takes that file
// away by renaming it to "msg\receive.run" (lines appended meanwhile start a new file), runs
// its lines in order, and keeps it until the next tick: what a peer that had opened the file
// before it was taken writes into it still runs then (a line without its line end waits for
// that tick too). Commands waiting when the program starts were written for this run (the
// program drops the commands it has not run when it closes), so a peer may write them as
// soon as it has started the program.
//
// Answers: appended to "msg\send.tmp"; the peer takes that file away by renaming it, reads it
// and deletes it. To append, the program first takes the waiting file under a name of its own
// ("msg\send.own"), appends, and puts it back where no file waits: so every line is in the
// file the peer takes or in the next one, whole, never in a file already read. The answers are
// emptied only at start.
//
// One command a line, fields separated by ";": the verb (exact, case counts) and its
// arguments. A refused command answers one line "Error;<what>" and changes nothing. No
// command waits on a person: a message box it would show answers its text as the "Error;"
// line instead, and a dialog or a window it would open modally stays closed and is named in
// it. While a modal window the user opened is up, the link keeps running; "GetFrom;," answers
// the name of that window and "Message;<name>;Close" closes it.
//
// The clip player plays the script "scn.txt" through the same link, as a peer would, from a
// timer (the program stays responsive while it plays).
#pragma once

#include "shell/Program.h"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qor::shell {

enum class MsgFile { Send = 0, Receive = 1 };

// A chart's data for "SetData": nine fields from `fields` at `first` (name with "|" as line
// breaks, sex letter, date, time, zone, latitude, longitude, city, country) over `rec`;
// the comment stays. False, with the problem, when a field is not valid.
bool MsgFieldsToDatRec(const AstroDat& s, const std::vector<std::string>& fields, std::size_t first,
                       DatRec& rec, std::string& problem);

class CommLink {
public:
    explicit CommLink(Program& p);
    ~CommLink();

    fs::path FilePath(MsgFile f) const;
    // Creates "msg\" (readable and writable by the user alone) and empties the answers; the
    // commands waiting are kept for the first tick. A "msg" or "msg\receive.tmp" that is a
    // symbolic link, of the wrong kind or another user's is refused with a message and the
    // link stays off (false).
    bool InitMsgFiles();
    // The link is off: nothing is read from or written to "msg\".
    bool Off = false;
    // At the close: the commands not run are dropped.
    void CloseMsgFiles();
    // Runs the commands waiting in "msg\receive.tmp" and what was added to the file the last
    // poll took. Inside a command (an event loop it runs) only while a modal window is up.
    void PollMsgReceive();
    void ExecMsgCommand(const std::string& line);
    // Appends a line to the file; a failed append is retried a few times within about a
    // second, then reported on the status line (false).
    bool MsgWriteLine(MsgFile f, const std::string& text);
    // Whether a modal window may open (the screen's gate): not while a command runs; the
    // refused window is said in the command's "Error;" answer (an information box goes to the
    // status line).
    bool MayOpenModal(const std::string& what, const std::string& text);
    // Called between the steps of an answer's write (tests take the file there).
    std::function<void()> BetweenWriteSteps;
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
    // Runs the clip's step that waits on its timer now (false when none waits).
    bool ClipStepNow();
    bool ClipPlaying() const { return clipPlaying_; }
    std::vector<std::string> ClipList;
    int ClipDelayMs = 500;
    // Status of the last clip: empty while none ran, "end", "stopped", "missing" or "off" (the
    // link is off).
    std::string ClipResult;

private:
    // Checks the link's folder and command file; on a problem turns the link off with a
    // message (once) and returns true. True while the link is off.
    bool RefuseLinkPlace();
    void Answer(const std::string& text) { MsgWriteLine(MsgFile::Send, text); }
    // A refusal of the running command (one "Error;" line when the command ends).
    void Error(const std::string& text) { errors_.push_back(text); }
    void RunCommand(const std::string& line);
    // Queues the lines of `bytes` from `from` on: complete lines only unless `all`; the offset
    // after the last line queued.
    std::size_t QueueLines(const std::string& bytes, std::size_t from, bool all);
    void RunQueue();
    bool Busy() const;
    bool DeliverAnswers(const std::string& bytes);
    // Takes the answer file under the program's own name; false when none waits.
    bool TakeAnswerFile();
    bool PutBackAnswerFile();
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
    std::deque<std::string> queue_; // command lines taken, not run yet
    int running_ = 0;               // commands running (more than one: nested in a modal loop)
    std::vector<std::string> errors_;
    // How far the kept "receive.run" was read (nothing when none is kept).
    std::optional<std::size_t> takenRead_;
    bool clipPlaying_ = false;
    std::size_t clipLine_ = 0;
    QTimer clipTimer_;
    std::function<void()> clipThen_;
    std::chrono::steady_clock::time_point waitStart_;
};

} // namespace qor::shell
