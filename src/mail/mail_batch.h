// Taking in received Internet mail: one mail by the drop road, many at once by the
// batch rules. A pal is found by any of its three addresses; the domain part compares
// without regard to case, the local part exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/yubino_app.h"
#include "mail/internet_mail.h"

// Whether two addresses name the same mailbox: the local parts equal byte for byte, the
// domains equal in ASCII case-insensitively.
bool IsSameMailAddress(std::string_view a, std::string_view b);

// The first pal whose mail address, second mail address or mobile address is `address`.
bool FindPalByAnyAddress(const CYubinoApp& app, std::string_view address, CPenPal& pal);

// The drop road for one Internet mail: the pal is found by any of its addresses, then the
// mail goes the way a dropped mail text goes (TakeInReceivedMail), with its questions,
// dialog and messages. Characters code page 932 could not hold are told of first.
void TakeInInternetMail(CYubinoApp& app, const ParsedMail& mail);

// Many mails at once, asking nothing per mail. A known pal's last mail is replaced only
// by a newer mail; an older mail moves the first mail date back. Senders no pal has are
// gathered, one record each, for the caller to offer or add.
class CMailBatch {
public:
    explicit CMailBatch(CYubinoApp& app) : m_app(app) {}

    void Take(const ParsedMail& mail);

    // Mails taken.
    int ReadCount() const { return m_nRead; }
    // Mail addresses (code page 932) of the pals changed, in the order first changed.
    const std::vector<std::string>& UpdatedPals() const { return m_updated; }
    // Mails whose sender no pal has.
    int UnknownMailCount() const { return m_nUnknownMails; }
    // One prefilled record per unknown sender: handle name, address, home page and last
    // mail text of the newest mail, the last mail date the newest date, the first mail
    // date the oldest. Those added already are gone from the list.
    const std::vector<CPenPal>& UnknownSenders() const { return m_unknown; }

    // Adds every unknown sender as a new pal (no dialog); the table being full leaves the
    // rest where they were. Returns the addresses added.
    std::vector<std::string> AddUnknownSenders();

    // "12通を取り込みました: 5人を更新、3通は登録のない送信者", code page 932.
    std::string Summary() const;

private:
    void UpdateKnownPal(CPenPal pal, const CPenPal& mail);
    void GatherUnknown(const CPenPal& mail);

    CYubinoApp& m_app;
    int m_nRead = 0;
    int m_nUnknownMails = 0;
    std::vector<std::string> m_updated;
    std::vector<CPenPal> m_unknown;
};
