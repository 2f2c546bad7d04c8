// The clip script scn.txt: read and played through the link (each timed step run at once, a
// bounded number of them), then the lines it sent run as the link's next poll runs them.
#include "FuzzProgram.h"

#include "app/Subsystems.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    shell::Program& p = StartedProgram();
    shell::CommLink& link = LinkWithFile(p, "scn.txt", bytes);
    link.PlayClip();
    // A Wait step polls for the user's answer for seconds: the steps are bounded instead.
    for (int step = 0; step < 64 && link.ClipStepNow(); ++step) {
    }
    link.StopClip();
    PollTwice(link);
    SettleProgram(p);
}

std::vector<std::string> Seeds() {
    return {
        "Delay;0\r\nComment;step one\r\nWait;x,Nvoid\r\nComment;step two\r\nEnd\r\n",
        "Prompt;First;TopLeft\r\nDelay;10\r\nReceive;\r\nRoll;5\r\nGetFrom;Form1,SkyEdit\r\n"
        "Receive;\r\nRepeat\r\n",
        "Delay;0\r\nRepeat\r\n",
        "SetData;Clip;M;15.06.1990;14:30:00;+03:00;55\xB0" "45'N; 37\xB0" "37'E;Moscow;Russia\r\n"
        "Execute\r\nGetLong\r\nReceive;\r\nMessage;KartForm;Show\r\nEnd",
    };
}

} // namespace
QOR_FUZZ_TARGET(clip_script, Run, Seeds, "link.dict")
} // namespace qor::fuzz
