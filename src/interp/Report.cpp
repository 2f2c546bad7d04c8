#include "interp/Report.h"

#include "core/AstroMath.h"
#include "core/DegreeTexts.h"
#include "core/Formats.h"
#include "core/Text.h"
#include "interp/TextBase.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace qor::interp {

fs::path BasePath(const AstroDat& s, const std::string& name) {
    if (!name.empty() && name[0] == '/') return ResolvePath("/", name);
    return s.DataPath(name);
}

std::string TextReadProblem(const AstroDat& s, const IoResult& r, const std::string& fileName) {
    if (r.error == EFBIG)
        return fileName + Lang(s, ": файл слишком велик для текста (больше 64 МБ)"_cp,
                               ": the file is too large for a text (over 64 MB)");
    return std::string(std::strerror(r.error)) + ": " + fileName;
}

bool TextReadCheck(AstroDat& s, const IoResult& r, const std::string& fileName) {
    if (r.ok()) return false;
    ReportOf(s).ShowMessage(MsgKind::Information, TextReadProblem(s, r, fileName));
    return true;
}

ReportWriter::ReportWriter(AstroDat& s, ReportHooks hooks)
    : Settings(TextBaseSettings::Defaults(s.EnglishMode)), s_(s), hooks_(std::move(hooks)) {}

ReportWriter::~ReportWriter() {
    if (file_) std::fclose(file_);
}

fs::path ReportWriter::WorkFile() const {
    return s_.DataPath("text.tmp");
}

void ReportWriter::Tell(MsgKind kind, const std::string& text) {
    if (hooks_.Tell)
        hooks_.Tell(kind, text);
    else
        ReportOf(s_).ShowMessage(kind, text);
}

bool ReportWriter::BeginText() {
    if (hooks_.SetCaption) hooks_.SetCaption("noname");
    if (file_) std::fclose(file_);
    writeError_ = 0;
    const fs::path work = WorkFile();
    file_ = std::fopen(work.c_str(), "wb");
    if (!file_) {
        Tell(MsgKind::Error, std::string(std::strerror(errno)) + ": " + work.string());
        return false;
    }
    return true;
}

void ReportWriter::AddLine(const std::string& line) {
    if (!file_ || writeError_ != 0) return;
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
        std::fwrite("\r\n", 1, 2, file_) != 2)
        writeError_ = errno != 0 ? errno : EIO;
}

bool ReportWriter::EndText() {
    if (!file_) return false;
    if (std::fflush(file_) != 0 && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
    if (std::fclose(file_) != 0 && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
    file_ = nullptr;
    const fs::path work = WorkFile();
    if (writeError_ != 0) {
        Tell(MsgKind::Error, std::string(std::strerror(writeError_)) + ": " + work.string());
        return false;
    }
    return hooks_.ShowWorkFile ? hooks_.ShowWorkFile(work) : true;
}

BaseOpen ReportWriter::OpenBase(BaseId id, std::string& bytes) {
    return OpenBaseFile(Settings[id], bytes);
}

BaseOpen ReportWriter::OpenBaseFile(const BaseSetting& base, std::string& bytes) {
    bytes.clear();
    if (!base.on) return BaseOpen::Off;
    const std::string name = Trim(base.file);
    if (name.empty()) return BaseOpen::Off;
    const fs::path path = BasePath(s_, name);
    if (path.lexically_normal() == s_.DataPath("nofile").lexically_normal()) return BaseOpen::Off;
    if (caching_) {
        if (const auto it = cache_.find(path); it != cache_.end()) {
            bytes = it->second;
            return BaseOpen::Read;
        }
    }
    const IoResult r = ReadFileBytes(path, bytes, kTextFileMaxBytes);
    if (!r.ok()) {
        bytes.clear();
        NoteOpenFailed(TextReadProblem(s_, r, path.string()));
        return BaseOpen::Failed;
    }
    if (caching_) cache_[path] = bytes;
    return BaseOpen::Read;
}

void ReportWriter::NoteOpenFailed(const std::string& problem) {
    for (const auto& m : missing_)
        if (m == problem) return;
    if (static_cast<int>(missing_.size()) < kMaxMissing) missing_.push_back(problem);
}

void ReportWriter::ReportMissing() {
    const std::vector<std::string> missing = std::move(missing_);
    missing_.clear();
    for (const auto& m : missing) Tell(MsgKind::Information, m);
}

void ReportWriter::SectionHeading(const std::string& headerLine) {
    if (headerLine.find(']') == std::string::npos) return;
    std::string heading = "* ";
    heading += HeaderTitle(headerLine);
    AddLine("");
    AddLine(heading);
}

void ReportWriter::DegreeSymbols() {
    const BaseSetting* bases[2] = {&Settings[BaseId::Rgradus], &Settings[BaseId::Ggradus]};
    for (int d = 1; d <= 360; ++d) {
        if (DegreeMarks[static_cast<std::size_t>(d)].empty()) continue;
        const int sign = (d - 1) / 30 + 1, g = (d - 1) % 30 + 1;
        std::vector<std::string> out;
        for (const BaseSetting* base : bases) {
            std::string bytes;
            if (OpenBaseFile(*base, bytes) != BaseOpen::Read) continue;
            const DegreeEntry e = FindDegreeEntry(bytes, sign, g);
            if (!e.degreeFound) continue;
            // the heading once, from the first base with the degree
            if (out.empty()) out.push_back(GetMsgText(s_, 125, std::to_string(g)) + e.title);
            out.insert(out.end(), e.lines.begin(), e.lines.end());
        }
        if (out.empty()) continue;
        AddLine("");
        for (const auto& l : out) AddLine(l);
    }
}

void ReportWriter::DegreeMark(int point) {
    for (auto& m : DegreeMarks) m.clear();
    if (point < 0 || point > 40) return;
    DegreeMarks[static_cast<std::size_t>(DegreeOfLongitude(s_.PlanetLon[point]))].assign(1, '*');
    DegreeSymbols();
}

std::string SeparationText(double lon1, double lon2) {
    double d = std::fabs(NormAngle(lon1) - NormAngle(lon2)) / kDegToRad;
    if (d >= 180) d = 360 - d;
    return FloatToStrComma(5, 1, d) + kDegreeSign;
}

ReportWriter::BusyScope::BusyScope(ReportWriter& w) : w_(w) {
    if (w_.busy_++ == 0 && w_.hooks_.Busy) w_.hooks_.Busy(true);
}

ReportWriter::BusyScope::~BusyScope() {
    if (--w_.busy_ == 0 && w_.hooks_.Busy) w_.hooks_.Busy(false);
}

void ReportWriter::Run(const std::function<void()>& body, bool reportMissing) {
    // The glyph switch, the work file, the base cache and the busy state come back however
    // the body ends.
    struct Frame {
        ReportWriter& w;
        bool glyphs;
        ~Frame() {
            w.s_.GlyphNames = glyphs;
            if (w.file_) {
                std::fclose(w.file_);
                w.file_ = nullptr;
            }
            w.caching_ = false;
            w.cache_.clear();
        }
    };
    BusyScope busy(*this);
    Frame frame{*this, s_.GlyphNames};
    caching_ = true;
    BeginText();
    s_.GlyphNames = false;
    body();
    s_.GlyphNames = frame.glyphs;
    EndText();
    if (reportMissing) ReportMissing();
}

} // namespace qor::interp
