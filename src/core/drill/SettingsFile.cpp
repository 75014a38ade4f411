// The options outlive the program in tekora.ini: read once at start-up,
// written once when the main window closes.

#include "Form1Procedures.h"

#include "platform/BasicNumber.h"
#include "platform/DataDirectory.h"
#include "platform/PrivateProfile.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace tekkora {

namespace {
constexpr const char *Section = "Data";

// Reads one key into a buffer of the given size, filled with blanks first;
// the value is the text before the first NUL.
template <std::size_t Size>
std::string readField(const char *key, const QString &path)
{
    std::array<char, Size> buffer;
    buffer.fill(' ');
    profile::getPrivateProfileString(Section, key, "", buffer.data(), buffer.size(), path);
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// The text left-aligned in a field of the given width, filled with blanks.
std::string field(const std::string &text, std::size_t width)
{
    std::string padded = text;
    if (padded.size() < width)
        padded.append(width - padded.size(), ' ');
    return padded;
}

// The lowest count whose text the five characters read back can hold.
constexpr std::int16_t LowestKeptLimit = -9999;

// The count a "Num" value stands for. A number below -9999 ("-3E4", or one
// below the 16-bit range) loads as the lowest count the file keeps: -30000
// would be saved as six characters and come back cut to -3000, -32768 to
// -3276, launch after launch. Any negative count asks no question, so the
// run is the same.
std::int16_t limitFromValue(double value)
{
    return std::max(roundToInt16Clamped(value), LowestKeptLimit);
}
} // namespace

QString Form1Procedures::settingsPath() const
{
    return fileInDirectory(services_.dataDirectory, QString::fromLatin1(SettingsFileName));
}

QString Form1Procedures::settingsSourcePath() const
{
    // The player's own settings; until there are any, those an administrator
    // left beside the program.
    const QString own = settingsPath();
    if (services_.programDirectory.isEmpty() || QFileInfo::exists(own))
        return own;
    return fileInDirectory(services_.programDirectory, QString::fromLatin1(SettingsFileName));
}

void Form1Procedures::Form_Load()
{
    const QString path = settingsSourcePath();
    const std::string mode = readField<2>("Mode", path);
    const std::string num = readField<6>("Num", path);
    const std::string cap = readField<2>("Cap", path);
    const std::string weak = readField<2>("Weak", path);

    state_.QuestionLimit = num.empty() ? std::int16_t(30) : limitFromValue(basicVal(num));

    if (mode == "2")
        num_Click();
    else if (mode == "3")
        all_Click();
    else
        al_Click();

    if (cap == "0")
        kmoji_Click();
    else
        omoji_Click();

    // Off unless the file says 1: a file from before the option keeps the
    // draw it always had.
    weakInFile_ = !weak.empty();
    controls_.setChecked(OptionItem::weak, weak == "1");

    syncCountItems();
    Wait();
}

void Form1Procedures::syncCountItems()
{
    // The count items follow the loaded count, so the menu never shows one
    // count while another is in force; a count no item offers marks none.
    const std::int16_t limit = state_.QuestionLimit;
    controls_.setChecked(OptionItem::n10, limit == 10);
    controls_.setChecked(OptionItem::n30, limit == 30);
    controls_.setChecked(OptionItem::n50, limit == 50);
    controls_.setChecked(OptionItem::n99, limit == UnlimitedQuestions);
}

void Form1Procedures::Form_Unload()
{
    saveOptions();
    controls_.endProgram();
}

void Form1Procedures::saveOptions()
{
    const QString path = settingsPath();
    const std::string mode = field(std::to_string(int(state_.CharSet)), 2);
    const std::string num = field(std::to_string(int(state_.QuestionLimit)), 6);
    const std::string cap = field(controls_.isChecked(OptionItem::omoji) ? "1" : "0", 2);
    const bool weak = controls_.isChecked(OptionItem::weak);

    // All the keys in one replacement of the file: either every option
    // reaches it or none does. Weak joins them once the player has turned
    // it on, so a file of a player who never did stays as it always was.
    const std::string weakValue = field(weak ? "1" : "0", 2);
    const FileResult saved =
        weak || weakInFile_
            ? profile::writePrivateProfileStrings(
                  Section, {{"Mode", mode}, {"Num", num}, {"Cap", cap}, {"Weak", weakValue}}, path)
            : profile::writePrivateProfileStrings(Section, {{"Mode", mode}, {"Num", num}, {"Cap", cap}}, path);
    if (!saved.ok())
        controls_.reportError(QStringLiteral("Tekkora!"), QStringLiteral("設定を保存できませんでした。\n") + saved.describe());
}

} // namespace tekkora
