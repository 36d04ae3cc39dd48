#include "archive/conversation.h"

#include <algorithm>

#include "archive/reply_queue.h"
#include "core/texts.h"

namespace {

// "ゆき <yuki@example.jp>" for the pal's own address, the address alone for anyone else.
std::string Named(const std::string& address, const ConversationPal& pal) {
    if (pal.name.empty() || !SameAddress(address, pal.address)) return address;
    return pal.name + " <" + address + ">";
}

std::string NamedList(const std::vector<std::string>& addresses, const ConversationPal& pal) {
    std::string text;
    for (const std::string& address : addresses) {
        if (!text.empty()) text += ", ";
        text += Named(address, pal);
    }
    return text;
}

// The user's side where a mail's header names nobody (texts, older archives).
std::string You(const std::vector<std::string>& ownAddresses) {
    return ownAddresses.empty() ? std::string(texts::kConversationYou) : ownAddresses.front();
}

std::vector<ConversationHeaderLine> HeaderOf(const MailRecord& mail, const ConversationPal& pal,
                                             const std::vector<std::string>& ownAddresses) {
    const bool received = mail.direction == MailDirection::Received;
    const std::string palSide = Named(pal.address, pal);
    std::string from = mail.from.empty() ? (received ? palSide : You(ownAddresses)) : Named(mail.from, pal);
    std::string to = mail.to.empty() ? (received ? You(ownAddresses) : palSide) : NamedList(mail.to, pal);
    std::vector<ConversationHeaderLine> header = {{texts::kConversationFrom, std::move(from)},
                                                  {texts::kConversationTo, std::move(to)}};
    if (!mail.cc.empty()) header.push_back({texts::kConversationCc, NamedList(mail.cc, pal)});
    header.push_back({texts::kConversationDate, ConversationDate(mail.date)});
    header.push_back({texts::kConversationSubject,
                      mail.subject.empty() ? std::string(texts::kConversationNoSubject) : mail.subject});
    if (mail.attachments > 0) {
        std::string count = texts::kConversationAttachmentCount;
        count.replace(count.find("%s"), 2, std::to_string(mail.attachments));
        header.push_back({texts::kConversationAttachments, std::move(count)});
    }
    return header;
}

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    return text;
}

ConversationMail ShownMail(const StoredMail& stored, const ConversationPal& pal,
                           const std::vector<std::string>& ownAddresses) {
    ConversationMail shown;
    shown.id = stored.id;
    shown.direction = stored.mail.direction;
    shown.header = HeaderOf(stored.mail, pal, ownAddresses);
    shown.body = WithoutTrailingBlanks(stored.mail.body);
    if (shown.body.empty()) {
        shown.bodyIsNote = true;
        shown.body =
            stored.mail.source == kAnsweredSource ? texts::kConversationAnsweredNote : texts::kConversationNoText;
    }
    return shown;
}

}  // namespace

std::string ConversationDate(const std::string& archiveDate) {
    const std::optional<CalendarDay> day = CalendarDay::Parse(archiveDate);
    if (!day) return archiveDate;
    std::string text = archiveDate.substr(0, 10);
    std::replace(text.begin(), text.end(), '-', '/');
    // Day 0 was a Thursday.
    text += std::string("(") + texts::kConversationWeekdays[((day->number + 4) % 7 + 7) % 7] + ")";
    if (archiveDate.size() >= 16) text += " " + archiveDate.substr(11, 5);
    return text;
}

ConversationPage ArrangeConversationPage(const std::vector<StoredMail>& newestFirst, const ConversationPal& pal,
                                         const std::vector<std::string>& ownAddresses, ConversationOrder order,
                                         int pageSize) {
    ConversationPage page;
    const std::size_t shown = std::min(newestFirst.size(), static_cast<std::size_t>(std::max(pageSize, 0)));
    for (std::size_t i = 0; i < shown; ++i) page.mails.push_back(ShownMail(newestFirst[i], pal, ownAddresses));
    if (newestFirst.size() > shown && shown > 0)
        page.next = CMailArchive::MailKey{newestFirst[shown - 1].mail.date, newestFirst[shown - 1].id};
    // Older mails come above the newer ones when the newest is at the bottom.
    page.goesOnTop = order == ConversationOrder::NewestAtBottom;
    if (page.goesOnTop) std::reverse(page.mails.begin(), page.mails.end());
    return page;
}

ArchiveResult<ConversationPage> ReadConversationPage(CMailArchive& archive, const ConversationPal& pal,
                                                     ConversationOrder order,
                                                     const std::optional<CMailArchive::MailKey>& olderThan,
                                                     int pageSize) {
    ArchiveResult<ConversationPage> result;
    const ArchiveResult<std::vector<StoredMail>> mails = archive.MailPage(pal.address, olderThan, pageSize + 1);
    if (!mails.Ok()) {
        static_cast<ArchiveStatus&>(result) = mails;
        return result;
    }
    // The header's own addresses are a nicety: a page shows without them.
    const std::vector<std::string> own = archive.OwnAddresses().value;
    result.value = ArrangeConversationPage(mails.value, pal, own, order, pageSize);
    return result;
}
