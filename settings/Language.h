// Language files: positional lines, one interface text each, loaded into LangText. The
// classic files have 92 lines; the lines after them are newer texts that older files lack.
#pragma once

#include <QString>
#include <array>

namespace kestrum {

inline constexpr int kClassicLanguageLines = 92;
// 93 the pause notice, 94 the notice of an attempt that waits for its first key; 95 ... 98
// the Options menu's Keys, Volume, Quick turns and Full screen; 99 ... 107 the Keys dialog;
// 108 ... 110 the Volume dialog; 111, 112 the way to the exit; 113 the open level pack.
inline constexpr int kLanguageLines = 113;

class LanguageTexts {
public:
    // Starts with the built-in English texts, so that a program without any readable
    // language file still speaks.
    LanguageTexts();

    // Line n (1 .. kLanguageLines) as loaded; empty for lines out of range, skipped or reserved-empty.
    QString text(int line) const;
    // The built-in English text of a line.
    static QString builtIn(int line);
    // Longest text a line keeps; 0 for no limit, -1 for a skipped line.
    static int maxLength(int line);

    // Resolves the file to load: the configured name (a bare name in the working
    // directory, or a full path) when it exists, else "Russian.lng" of the working
    // directory, which is not checked.
    static QString resolve(const QString& configured);

    // Reads the file into the table: lines past the file's end keep the built-in English,
    // however short the file. On failure ("File not found", a file that is no regular one,
    // or one too large) returns false with the message in *error, and the texts stay as
    // they were.
    bool load(const QString& path, QString* error);

private:
    std::array<QString, kLanguageLines + 1> lines_;  // [0] unused
};

}  // namespace kestrum
