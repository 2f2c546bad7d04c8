// Message boxes, input boxes and the file, font and colour dialogs. Windows ask through the
// `Dialogs` interface of the screen (Screen().Dlg()); the program installs QtDialogs, tests
// install AnsweringDialogs and give the answers beforehand. All texts are code page 1251.
#pragma once

#include "core/UserReport.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QFont;

namespace qor::ui {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

// A font as the settings keep it: character set 0..255, colour $00BBGGRR, name, size in
// points, style bits (1 bold, 2 italic, 4 underline, 8 strike-out).
struct FontSpec {
    int charset = 1;
    uint32_t color = 0;
    std::string name = "MS Sans Serif";
    int size = 8;
    int style = 0;
    bool operator==(const FontSpec&) const = default;
};
enum FontStyleBits { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

QFont ToQFont(const FontSpec& f);
// The colour and the character set are not part of a QFont: they come from `like`.
FontSpec FromQFont(const QFont& q, const FontSpec& like = {});

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) = 0;
    // Asks for a line of text; `value` comes in as the default. False when cancelled.
    virtual bool Input(const std::string& caption, const std::string& prompt,
                       std::string& value) = 0;
    // `filter`: "Text files (*.txt)|*.txt|All (*.*)|*.*" pairs of description and pattern.
    virtual bool OpenFile(const std::string& caption, const std::string& filter,
                          std::filesystem::path& file) = 0;
    virtual bool SaveFile(const std::string& caption, const std::string& filter,
                          std::filesystem::path& file) = 0;
    virtual bool ChooseFont(FontSpec& font) = 0;
    virtual bool ChooseColor(uint32_t& color) = 0;
    // The language of the dialogs' own buttons and texts, once the program knows its language.
    virtual void SetLanguage(bool /*english*/) {}
};

// The real dialogs.
class QtDialogs : public Dialogs {
public:
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    bool Input(const std::string& caption, const std::string& prompt, std::string& value) override;
    bool OpenFile(const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
    bool SaveFile(const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
    bool ChooseFont(FontSpec& font) override;
    bool ChooseColor(uint32_t& color) override;
    // Russian: the message boxes' buttons carry Russian words, and the toolkit's own dialogs
    // (files, fonts, colours) take its Russian translation when it is installed.
    void SetLanguage(bool english) override;

private:
    bool english_ = true;
};

// Dialogs for tests: each question takes the next prepared answer of its sort and is recorded.
// With no answer prepared a message box answers its first button (Ok or Yes) and every other
// dialog is cancelled.
class AnsweringDialogs : public Dialogs {
public:
    struct Asked {
        std::string what; // "Message", "Input", "OpenFile", "SaveFile", "ChooseFont", "ChooseColor"
        std::string text; // the message, the prompt or the caption
        MsgKind kind = MsgKind::Information;
    };
    std::vector<Asked> asked;
    std::deque<MsgResult> messageAnswers;
    std::deque<std::string> inputAnswers;          // each accepted; "\x1b" cancels
    std::deque<std::filesystem::path> fileAnswers; // an empty path cancels
    std::deque<FontSpec> fontAnswers;
    std::deque<uint32_t> colorAnswers;

    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    bool Input(const std::string& caption, const std::string& prompt, std::string& value) override;
    bool OpenFile(const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
    bool SaveFile(const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
    bool ChooseFont(FontSpec& font) override;
    bool ChooseColor(uint32_t& color) override;

    // The texts of the message boxes shown so far.
    std::vector<std::string> Messages() const;

private:
    bool NextFile(const std::string& what, const std::string& caption, std::filesystem::path& file);
};

// The dialogs behind a gate: every question first asks `may` with what it is ("Information"
// for an information box, "Message" for any other message box, "Input", "OpenFile",
// "SaveFile", "ChooseFont", "ChooseColor") and its text (the message or the caption). Refused, a message box answers its cautious button (Ok when it has no other,
// else Cancel, or No when it has no Cancel) and every other dialog is cancelled.
class GatedDialogs : public Dialogs {
public:
    using Gate = std::function<bool(const std::string& what, const std::string& text)>;
    GatedDialogs(std::function<Dialogs&()> target, Gate may)
        : target_(std::move(target)), may_(std::move(may)) {}

    static MsgResult CautiousAnswer(MsgButtons buttons);

    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    bool Input(const std::string& caption, const std::string& prompt, std::string& value) override;
    bool OpenFile(const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
    bool SaveFile(const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
    bool ChooseFont(FontSpec& font) override;
    bool ChooseColor(uint32_t& color) override;

private:
    std::function<Dialogs&()> target_;
    Gate may_;
};

} // namespace qor::ui
