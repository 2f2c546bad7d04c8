// The command link's lines, every verb: the input is the command file a peer wrote, taken by
// the link's poll as the running program takes it (lines split, a line without its end run at
// the next poll) and each line run through the link's command routine.
#include "FuzzProgram.h"

#include "app/Subsystems.h"
#include "shell/CommLink.h"
#include "shell/MainForm.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    shell::Program& p = StartedProgram();
    PollTwice(LinkWithFile(p, "msg\\receive.tmp", bytes));
    SettleProgram(p);
}

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds = {
        "InitScr\r\nComment;one\r\nWait;x,Nvoid\r\nPrompt;Hello;TopRight\r\nPrompt;;Mid\r\n",
        "SetData;Peer|Test;M;15.06.1990;14:30:00;+03:00;55\xB0" "45'N; 37\xB0" "37'E;Moscow;"
        "Russia;Second;W;01.01.2000;00:00:00;+00:00;51\xB0" "30'N; 0\xB0" "07'W;London;UK\r\n"
        "Execute\r\nGetLong\r\nGetLongBck\r\n",
        "SetData;X;M;31.02.1990;25:30:00;zone;north; 37\xB0\r\nSetData;\r\nExecute",
        "GetFrom;Form1,SkyEdit\r\nGetFrom;,\r\nGetFrom;NoForm,NoEdit\r\nMessage;Form1,SkyEdit;v\r\n",
        "Message;Form1,PaintBox;MouseDown,mbLeft,[],-2147483648,0\r\n"
        "Message;Form1,PaintBox;MouseMove,[],2147483647,-2147483648\r\n"
        "Message;Form1,PaintBox;MouseUp,mbLeft,[],10,10\r\n",
        "Message;KartForm;Show\r\nMessage;KartForm,AspectLetterEdit;..\\..\\evil\r\n"
        "Message;Interp;KeyDown,90,ssAlt\r\nMessage;Interp,Memo;text\r\nMessage;Interp;Close\r\n",
        "Find;Sirius;Sirius\r\nFindOnWheel;Sun\r\nShowImage;Sun\r\nSound;Ding.wav\r\nunknown;1",
        "Message;Form1,Nnatal;\r\nMessage;Form1,Nvoid;\r\nMessage;,;Close\r\n"
        "Message;DataForm,OKBtn;\r\nMessage;Calend;Show\r\nMessage;Calend;Close",
    };
    // Every window shown, and each of its controls read.
    shell::Program& p = StartedProgram();
    for (const std::string& name : ui::Screen().FormClassNames()) {
        std::string lines = "Message;" + name + ";Show\r\n";
        if (const ui::TForm* f = ui::Screen().FindForm(name))
            for (const ui::Component& c : f->Components())
                lines += "GetFrom;" + name + "," + c.Name() + "\r\n";
        seeds.push_back(lines + "Message;" + name + ";Close\r\n");
    }
    SettleProgram(p);
    return seeds;
}

} // namespace
QOR_FUZZ_TARGET(command_link, Run, Seeds, "link.dict")
} // namespace qor::fuzz
