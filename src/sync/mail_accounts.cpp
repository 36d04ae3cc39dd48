#include "sync/mail_accounts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <sstream>

#include "core/file_read.h"

namespace {

constexpr std::size_t kMaxAccountsFileBytes = 1024 * 1024;
constexpr const char* kSection = "[account]";
constexpr const char* kContactSection = "[carddav]";
// Before the first account: the minutes between timed checks (none: only when asked).
constexpr const char* kEveryKey = "check_every_minutes";
constexpr const char* kSinceAllValue = "all";

struct KindName {
    MailAccount::Kind kind;
    const char* name;
};
constexpr KindName kKinds[] = {{MailAccount::Kind::Imap, "imap"}, {MailAccount::Kind::Maildir, "maildir"}, {MailAccount::Kind::Mbox, "mbox"}};

struct SecurityName {
    ImapSecurity security;
    const char* name;
};
constexpr SecurityName kSecurities[] = {
    {ImapSecurity::Tls, "tls"}, {ImapSecurity::StartTls, "starttls"}, {ImapSecurity::Plain, "plain"}};

// Values are one line each: line ends in a value would start a new key.
std::string OneLine(const std::string& value) {
    std::string out = value;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

template <typename Number>
bool ReadNumber(const std::string& text, Number& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// A deadline from a second to a day.
bool InDeadlineRange(int seconds) { return seconds > 0 && seconds <= 24 * 60 * 60; }

// One "key=value" of an account; false for a key or value that is not understood.
bool Apply(MailAccount& account, const std::string& key, const std::string& value) {
    if (key == "name") {
        account.name = value;
    } else if (key == "kind") {
        for (const KindName& k : kKinds)
            if (value == k.name) return account.kind = k.kind, true;
        return false;
    } else if (key == "host") {
        account.server.host = value;
    } else if (key == "port") {
        return ReadNumber(value, account.server.port) && account.server.port != 0;
    } else if (key == "security") {
        for (const SecurityName& s : kSecurities)
            if (value == s.name) return account.server.security = s.security, true;
        return false;
    } else if (key == "user") {
        account.server.user = value;
    } else if (key == "folder") {
        account.folders.push_back(value);
    } else if (key == "since_days") {
        if (value == kSinceAllValue) return account.sinceDays = kSinceAllMail, true;
        // A refused number leaves the reach as it was: zero would mean every mail.
        int days = 0;
        if (!ReadNumber(value, days) || days <= 0) return false;
        account.sinceDays = days;
    } else if (key == "ca_file") {
        account.caFile = value;
    } else if (key == "trusted_fingerprint") {
        account.trustedFingerprint = value;
    } else if (key == "path") {
        account.path = value;
    } else if (key == "command_timeout_seconds") {
        return ReadNumber(value, account.commandTimeoutSeconds) && InDeadlineRange(account.commandTimeoutSeconds);
    } else if (key == "check_timeout_seconds") {
        return ReadNumber(value, account.checkTimeoutSeconds) && InDeadlineRange(account.checkTimeoutSeconds);
    } else {
        return false;
    }
    return true;
}

bool ApplyContact(ContactAccount& account, const std::string& key, const std::string& value) {
    std::string ContactAccount::*const field = key == "url"                   ? &ContactAccount::url
                                               : key == "user"                ? &ContactAccount::user
                                               : key == "ca_file"             ? &ContactAccount::caFile
                                               : key == "trusted_fingerprint" ? &ContactAccount::trustedFingerprint
                                               : key == "book"                ? &ContactAccount::book
                                                                              : nullptr;
    if (field) account.*field = value;
    return field != nullptr;
}

void WriteMailSections(std::ostream& out, const std::vector<MailAccount>& accounts) {
    for (const MailAccount& a : accounts) {
        out << kSection << "\nname=" << OneLine(a.name) << "\n";
        for (const KindName& k : kKinds)
            if (a.kind == k.kind) out << "kind=" << k.name << "\n";
        if (a.kind == MailAccount::Kind::Imap) {
            out << "host=" << OneLine(a.server.host) << "\nport=" << a.server.port << "\n";
            for (const SecurityName& s : kSecurities)
                if (a.server.security == s.security) out << "security=" << s.name << "\n";
            out << "user=" << OneLine(a.server.user) << "\n";
            for (const std::string& folder : a.folders) out << "folder=" << OneLine(folder) << "\n";
            out << "since_days=";
            if (a.sinceDays == kSinceAllMail)
                out << kSinceAllValue << "\n";
            else
                out << a.sinceDays << "\n";
            if (!a.caFile.empty()) out << "ca_file=" << OneLine(a.caFile) << "\n";
            if (!a.trustedFingerprint.empty()) out << "trusted_fingerprint=" << OneLine(a.trustedFingerprint) << "\n";
            // Written only when set: the defaults may change with a later version.
            const MailAccount defaults;
            if (a.commandTimeoutSeconds != defaults.commandTimeoutSeconds)
                out << "command_timeout_seconds=" << a.commandTimeoutSeconds << "\n";
            if (a.checkTimeoutSeconds != defaults.checkTimeoutSeconds)
                out << "check_timeout_seconds=" << a.checkTimeoutSeconds << "\n";
        } else {
            out << "path=" << OneLine(a.path) << "\n";
        }
    }
}

void WriteContactSections(std::ostream& out, const std::vector<ContactAccount>& accounts) {
    for (const ContactAccount& a : accounts) {
        out << kContactSection << "\nurl=" << OneLine(a.url) << "\nuser=" << OneLine(a.user) << "\n";
        if (!a.caFile.empty()) out << "ca_file=" << OneLine(a.caFile) << "\n";
        if (!a.trustedFingerprint.empty()) out << "trusted_fingerprint=" << OneLine(a.trustedFingerprint) << "\n";
        if (!a.book.empty()) out << "book=" << OneLine(a.book) << "\n";
    }
}

WriteResult WriteAccountsFile(const std::filesystem::path& file, const std::vector<MailAccount>& mail,
                              int checkEveryMinutes, const std::vector<ContactAccount>& contacts) {
    std::ostringstream out;
    out << "# Yubino のメールアカウント (パスワードはここに書きません)\n";
    if (checkEveryMinutes > 0) out << kEveryKey << "=" << checkEveryMinutes << "\n";
    WriteMailSections(out, mail);
    WriteContactSections(out, contacts);
    return WriteFileAtomically(file, out.str());
}

}  // namespace

std::filesystem::path MailAccountsFile(const EnvLookup& env) {
    const std::filesystem::path dir = XdgDirectory(env, "XDG_CONFIG_HOME", ".config");
    return dir.empty() ? dir : dir / "accounts.ini";
}

MailAccountsRead ReadMailAccounts(const std::filesystem::path& file) {
    MailAccountsRead read;
    const FileReadResult stored = ReadRegularFile(file, kMaxAccountsFileBytes);
    if (stored.status == FileReadResult::Status::Missing) return read;
    if (!stored.Ok())
        read.error = "メールアカウントの設定ファイルを読めません: " + file.string() + "（" +
                     FileReadProblem(stored, kMaxAccountsFileBytes) + "）";
    std::istringstream in(stored.bytes);
    int lineNumber = 0;
    bool inContact = false;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line == kSection || line == kContactSection) {
            inContact = line == kContactSection;
            if (inContact)
                read.contactAccounts.emplace_back();
            else
                read.accounts.emplace_back();
            continue;
        }
        const std::size_t eq = line.find('=');
        const std::string key = line.substr(0, std::min(eq, line.size()));
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        const bool understood =
            eq != std::string::npos &&
            (inContact ? ApplyContact(read.contactAccounts.back(), key, value)
             : read.accounts.empty()
                 ? key == kEveryKey && ReadNumber(value, read.checkEveryMinutes) && read.checkEveryMinutes >= 0
                 : Apply(read.accounts.back(), key, value));
        if (!understood) {
            if (read.error.empty())
                read.error = "メールアカウントの設定ファイル " + file.string() + " の " + std::to_string(lineNumber) +
                             " 行目が読めません";
        }
    }
    return read;
}

WriteResult WriteMailAccounts(const std::filesystem::path& file, const std::vector<MailAccount>& accounts,
                              int checkEveryMinutes) {
    return WriteAccountsFile(file, accounts, checkEveryMinutes, ReadMailAccounts(file).contactAccounts);
}

WriteResult WriteContactAccounts(const std::filesystem::path& file, const std::vector<ContactAccount>& accounts) {
    const MailAccountsRead stored = ReadMailAccounts(file);
    if (!stored.error.empty()) return {false, stored.error, 0};
    return WriteAccountsFile(file, stored.accounts, stored.checkEveryMinutes, accounts);
}
