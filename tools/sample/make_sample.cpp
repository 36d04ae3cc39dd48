// Builds the bundled sample pal data file from its readable source:
//   yubino-make-sample sample_pals.tsv OUTPUT.ybf
// The source is UTF-8 text, one pal per line with tab-separated fields named by the
// header line; lines starting with "#" are comments.
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/silent_user_interface.h"
#include "core/yubino_app.h"
#include "mail/stored_mail_text.h"
#include "storage/atomic_file.h"
#include "storage/pal_data_file.h"

namespace {

// The generator has nobody to ask: every message means bad source data.
class CNoUserInterface : public CSilentUserInterface {
public:
    void ShowMessage(const std::string& text, MessageKind) override {
        throw std::runtime_error("refused: " + cp932::ToUtf8(text));
    }
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

std::string Cp932(const std::string& utf8) {
    auto text = cp932::FromUtf8(utf8);
    if (!text) throw std::runtime_error("not code page 932: " + utf8);
    return *text;
}

COleDateTime Date(const std::string& text) {
    int year = 0, month = 0, day = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d", &year, &month, &day) != 3) throw std::runtime_error("bad date: " + text);
    return COleDateTime(year, month, day);
}

// "\n" in the source is a line break of the mail; the pal keeps the stored form.
std::string MailText(std::string text) {
    for (std::size_t pos = 0; (pos = text.find("\\n", pos)) != std::string::npos; pos += 2)
        text.replace(pos, 2, "\r\n");
    return ToStoredMailText(Cp932(text));
}

CPenPal PalFromFields(const std::map<std::string, std::string>& field) {
    auto text = [&](const char* name) { return field.count(name) ? field.at(name) : std::string(); };
    CPenPal pal;
    pal.m_strHandleName = Cp932(text("handle"));
    pal.m_strName = Cp932(text("name"));
    pal.m_strSex = Cp932(text("sex"));
    pal.m_strAge = Cp932(text("age"));
    pal.m_strMailAddress = Cp932(text("address"));
    pal.m_strJob = Cp932(text("job"));
    pal.m_strHomePage = Cp932(text("homepage"));
    pal.m_strResidence = Cp932(text("residence"));
    pal.m_strBirthplace = Cp932(text("birthplace"));
    pal.m_strBloodType = Cp932(text("blood"));
    pal.m_dtBirthday = Date(text("birthday"));
    pal.m_dtFirstMail = Date(text("first_mail"));
    pal.m_dtLastMail = Date(text("last_mail"));
    pal.m_strHobby = Cp932(text("hobby"));
    pal.m_strMapName = Cp932(text("map"));
    pal.m_nFaceIcon = std::stoi(text("face"));
    pal.m_nMapX = std::stoi(text("x"));
    pal.m_nMapY = std::stoi(text("y"));
    pal.m_strMemo = Cp932(text("memo"));
    pal.m_strLastMailText = MailText(text("last_mail_text"));
    return pal;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: yubino-make-sample SOURCE.tsv OUTPUT.ybf\n";
        return 2;
    }
    try {
        std::ifstream source(argv[1]);
        if (!source) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        CNoUserInterface ui;
        CYubinoApp app(ui);
        std::vector<std::string> header;
        for (std::string line; std::getline(source, line);) {
            if (line.empty() || line.front() == '#') continue;
            if (header.empty()) {
                header = SplitTabs(line);
                continue;
            }
            const std::vector<std::string> values = SplitTabs(line);
            std::map<std::string, std::string> fields;
            for (std::size_t i = 0; i < header.size() && i < values.size(); ++i) fields[header[i]] = values[i];
            app.AddPal(PalFromFields(fields));
        }
        const WriteResult written = WriteFileAtomically(argv[2], WritePalData(app));
        if (!written.ok) throw std::runtime_error("cannot write " + std::string(argv[2]) + ": " + written.error);
        std::cout << "wrote " << app.GetPalCount() << " pals to " << argv[2] << "\n";
    } catch (const std::exception& e) {
        std::cerr << "yubino-make-sample: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
