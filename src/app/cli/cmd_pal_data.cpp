// dump and repair: the pal data file loaded as start-up loads it, then shown as JSON or
// written back as the save on close writes it.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"

namespace {

void Text(JsonWriter& json, const char* key, const std::string& cp932) {
    json.Key(key).String(cp932::ToUtf8(cp932, /*escapeInvalid=*/true));
}

void Date(JsonWriter& json, const char* key, const COleDateTime& date) {
    json.Key(key).BeginObject().Key("status").Int(date.m_status).Key("value").Double(date.m_dt).EndObject();
}

// The fields in the order CPenPal declares them.
void WritePal(JsonWriter& json, const CPenPal& pal) {
    json.BeginObject();
    Text(json, "m_strHandleName", pal.m_strHandleName);
    Text(json, "m_strName", pal.m_strName);
    Text(json, "m_strSex", pal.m_strSex);
    Text(json, "m_strAge", pal.m_strAge);
    Text(json, "m_strMailAddress", pal.m_strMailAddress);
    Text(json, "m_strJob", pal.m_strJob);
    Text(json, "m_strHomePage", pal.m_strHomePage);
    Text(json, "m_strResidence", pal.m_strResidence);
    Text(json, "m_strBirthplace", pal.m_strBirthplace);
    Text(json, "m_strBloodType", pal.m_strBloodType);
    Date(json, "m_dtBirthday", pal.m_dtBirthday);
    Date(json, "m_dtFirstMail", pal.m_dtFirstMail);
    Date(json, "m_dtLastMail", pal.m_dtLastMail);
    Text(json, "m_strTel1", pal.m_strTel1);
    Text(json, "m_strTel2", pal.m_strTel2);
    Text(json, "m_strHobby", pal.m_strHobby);
    Text(json, "m_strMapName", pal.m_strMapName);
    Text(json, "m_strLastMailText", pal.m_strLastMailText);
    json.Key("m_nFaceIcon").Int(pal.m_nFaceIcon);
    json.Key("m_nMapX").Int(pal.m_nMapX);
    json.Key("m_nMapY").Int(pal.m_nMapY);
    Text(json, "m_strPictureFile", pal.m_strPictureFile);
    json.Key("m_bUsePicture").Int(pal.m_bUsePicture);
    Text(json, "m_strMailAddress2", pal.m_strMailAddress2);
    Text(json, "m_strMobileAddress", pal.m_strMobileAddress);
    Text(json, "m_strMemo", pal.m_strMemo);
    json.EndObject();
}

bool Refused(const CYubinoDoc::OpenResult& result) {
    return result.status == CYubinoDoc::OpenStatus::Refused || result.status == CYubinoDoc::OpenStatus::CannotOpen;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

// A repair writes only a file it makes, unless told to replace one; never its own input.
bool MayWriteRepairTo(const char* in, const char* out, bool force) {
    std::error_code ec;
    if (SameFile(in, out)) {
        std::fprintf(stderr, "入力と同じファイルには書き出しません: %s\n", out);
        return false;
    }
    if (!force && std::filesystem::exists(std::filesystem::symlink_status(out, ec))) {
        std::fprintf(stderr, "書き出し先のファイルが既にあります: %s\n上書きするには --force を付けてください。\n", out);
        return false;
    }
    return true;
}

// Everything the file holds reached the table: no record cut off, none past the last
// the table can hold.
bool ReadWhole(const PalDataReadResult& read) { return read.complete && !read.unreadTail; }

}  // namespace

int RunDump(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {}, why);
    if (!options) return UsageError("dump", why);
    if (options->positional.size() != 1) return UsageError("dump", WrongArgumentCount());
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    const CYubinoDoc::OpenResult result = doc.OnOpenDocument(options->positional[0], CYubinoDoc::OpenMode::Read);
    if (Refused(result)) return kExitUsage;

    JsonWriter json;
    json.BeginObject().Key("pals").BeginArray();
    for (const CPenPal& pal : app.Pals()) WritePal(json, pal);
    json.EndArray().Key("complete").Bool(ReadWhole(result.read)).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

int RunRepair(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--force"}}, why);
    if (!options) return UsageError("repair", why);
    if (options->positional.size() != 2) return UsageError("repair", WrongArgumentCount());
    const bool force = options->Has("--force");
    const std::vector<const char*> files = {options->positional[0].c_str(), options->positional[1].c_str()};
    if (!MayWriteRepairTo(files[0], files[1], force)) return kExitUsage;
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    const CYubinoDoc::OpenResult result = doc.OnOpenDocument(files[0], CYubinoDoc::OpenMode::Read);
    if (Refused(result)) return kExitUsage;
    if (result.read.unreadTail && !force) {
        std::fprintf(stderr,
                     "入力ファイルには %d 人を超えるメールフレンドがあり、超えた分は読み込んでいません。\n"
                     "読み込めた分だけを書き出すには --force を付けてください。\n",
                     kMaxPals);
        return kExitFailure;
    }
    // The output's lock is taken by the save, before anything is written into it.
    if (!doc.OnSaveDocument(files[1]).ok) return kExitFailure;
    const char* ending = result.read.unreadTail   ? "入力ファイルの超えた分は書き出していません。"
                         : result.read.complete ? "入力ファイルは最後まで読めました。"
                                                : "入力ファイルは記録の途中で終わっていました。";
    std::printf("%d 人のメールフレンドを書き出しました。%s\n", app.GetPalCount(), ending);
    return kExitOk;
}
