#include "sync/imap_session.h"

#include <libetpan/libetpan.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "core/texts.h"
#include "sync/folder_name.h"

namespace {

// What of the server's words goes into a message: one short line of text.
constexpr std::size_t kWordsKept = 160;

// How many addresses go into one SEARCH (each is FROM, TO and CC).
constexpr std::size_t kAddressesPerSearch = 100;

char* Copy(const std::string& text) { return strdup(text.c_str()); }

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80         ? 1
                               : (lead >> 5) == 6  ? 2
                               : (lead >> 4) == 14 ? 3
                               : (lead >> 3) == 30 ? 4
                                                   : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) >> 6) != 2) return 0;
    return length;
}

// A server's text as one line of valid UTF-8: control characters become spaces, bytes that
// are no UTF-8 become "?", and a long text is cut.
std::string ServerWords(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size() && out.size() < kWordsKept;) {
        const std::size_t length = Utf8SequenceLength(text, at);
        const auto c = static_cast<unsigned char>(text[at]);
        if (length == 0)
            out.push_back('?');
        else if (length == 1)
            out.push_back(c < 0x20 || c == 0x7f ? ' ' : static_cast<char>(c));
        else
            out.append(text.substr(at, length));
        at += length ? length : 1;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// Bytes of the server's that could not be read, for the message: quoted, since they may
// end anywhere (in a parenthesis of their own).
std::string UnreadableWords(std::string_view text) {
    return std::string(texts::kCheckUnreadableAnswer) + "「" + ServerWords(text) + "」";
}

// The bytes libetpan could not read.
std::string UnreadableAnswer(const mailimap* imap) {
    const MMAPString* buffer = imap ? imap->imap_stream_buffer : nullptr;
    return UnreadableWords(buffer && buffer->str ? std::string_view(buffer->str, buffer->len) : std::string_view());
}

// A balanced tree of ORs keeps the command's nesting shallow for hundreds of keys.
mailimap_search_key* AnyOf(const std::vector<mailimap_search_key*>& keys, std::size_t begin, std::size_t end) {
    if (end - begin == 1) return keys[begin];
    const std::size_t mid = begin + (end - begin) / 2;
    return mailimap_search_key_new_or(AnyOf(keys, begin, mid), AnyOf(keys, mid, end));
}

mailimap_search_key* AddressKey(const std::vector<std::string>& addresses, std::size_t begin, std::size_t end) {
    std::vector<mailimap_search_key*> keys;
    for (std::size_t i = begin; i < end; ++i) {
        keys.push_back(mailimap_search_key_new_from(Copy(addresses[i])));
        keys.push_back(mailimap_search_key_new_to(Copy(addresses[i])));
        keys.push_back(mailimap_search_key_new_cc(Copy(addresses[i])));
    }
    return AnyOf(keys, 0, keys.size());
}

mailimap_set* UidSet(const std::vector<std::uint32_t>& sortedUids) {
    mailimap_set* set = mailimap_set_new_empty();
    for (std::size_t i = 0; i < sortedUids.size();) {
        std::size_t j = i;
        while (j + 1 < sortedUids.size() && sortedUids[j + 1] == sortedUids[j] + 1) ++j;
        mailimap_set_add_interval(set, sortedUids[i], sortedUids[j]);
        i = j + 1;
    }
    return set;
}

bool HasSentFlag(const mailimap_mailbox_list* box) {
    if (!box->mb_flag || !box->mb_flag->mbf_oflags) return false;
    for (clistiter* it = clist_begin(box->mb_flag->mbf_oflags); it; it = clist_next(it)) {
        auto* flag = static_cast<mailimap_mbx_list_oflag*>(clist_content(it));
        if (flag->of_type == MAILIMAP_MBX_LIST_OFLAG_FLAG_EXT && flag->of_flag_ext &&
            strcasecmp(flag->of_flag_ext, "Sent") == 0)
            return true;
    }
    return false;
}

bool HasCapability(const mailimap* imap, const char* name) {
    const mailimap_connection_info* info = imap->imap_connection_info;
    if (!info || !info->imap_capability || !info->imap_capability->cap_list) return false;
    for (clistiter* it = clist_begin(info->imap_capability->cap_list); it; it = clist_next(it)) {
        const auto* cap = static_cast<const struct mailimap_capability*>(clist_content(it));
        if (cap->cap_type == MAILIMAP_CAPABILITY_NAME && cap->cap_data.cap_name &&
            strcasecmp(cap->cap_data.cap_name, name) == 0)
            return true;
    }
    return false;
}

// Calls `visit(uid, static attribute)` for every static attribute of every fetched mail.
template <typename Visit>
void ForEachAttribute(clist* fetched, Visit visit) {
    for (clistiter* m = clist_begin(fetched); m; m = clist_next(m)) {
        auto* att = static_cast<mailimap_msg_att*>(clist_content(m));
        std::uint32_t uid = 0;
        for (clistiter* i = clist_begin(att->att_list); i; i = clist_next(i)) {
            auto* item = static_cast<mailimap_msg_att_item*>(clist_content(i));
            if (item->att_type == MAILIMAP_MSG_ATT_ITEM_STATIC && item->att_data.att_static->att_type == MAILIMAP_MSG_ATT_UID)
                uid = item->att_data.att_static->att_data.att_uid;
        }
        for (clistiter* i = clist_begin(att->att_list); i; i = clist_next(i)) {
            auto* item = static_cast<mailimap_msg_att_item*>(clist_content(i));
            if (item->att_type == MAILIMAP_MSG_ATT_ITEM_STATIC) visit(uid, *item->att_data.att_static);
        }
    }
}

}  // namespace

CImapSession::CImapSession(const CCancelToken& cancel, ImapSessionOptions options)
    : m_options(std::move(options)), m_stream(cancel, m_options.timeoutMs, m_options.maxMailBytes) {
    m_stream.SetDeadlines(
        {std::chrono::milliseconds(m_options.commandTimeoutMs), std::chrono::milliseconds(m_options.checkTimeoutMs)});
}

CImapSession::~CImapSession() {
    if (!m_imap) return;
    if (m_failure == ImapFailure::None) mailimap_logout(m_imap);
    // mailimap_free() says LOGOUT itself over a stream still open, and reads whatever a
    // server that just failed answers: the stream goes first.
    if (m_imap->imap_stream) {
        mailstream_close(m_imap->imap_stream);
        m_imap->imap_stream = nullptr;
    }
    mailimap_free(m_imap);
}

bool CImapSession::Fail(ImapFailure failure, int code) {
    if (code == MAILIMAP_ERROR_STREAM || m_stream.Error() != StreamError::None) return FailFromStream(failure);
    if (code == MAILIMAP_ERROR_PARSE) {
        m_failure = ImapFailure::Protocol;
        m_detail = UnreadableAnswer(m_imap);
        return false;
    }
    m_failure = failure;
    if (m_imap && m_imap->imap_response) m_detail = ServerWords(m_imap->imap_response);
    return false;
}

// The greeting tells an IMAP server from anything else listening on the port.
bool CImapSession::FailGreeting(int code) {
    if (code == MAILIMAP_ERROR_STREAM || m_stream.Error() != StreamError::None)
        return FailFromStream(ImapFailure::ClosedAtLogin);
    if (code == MAILIMAP_ERROR_PARSE) {
        m_failure = ImapFailure::NotImap;
        m_detail = UnreadableAnswer(m_imap);
        return false;
    }
    return Fail(ImapFailure::Protocol, code);
}

// A failure of the connection says more than the command that met it.
bool CImapSession::FailFromStream(ImapFailure otherwise) {
    m_detail = m_stream.ErrorDetail();
    switch (m_stream.Error()) {
    case StreamError::Resolve:
    case StreamError::Connect: m_failure = ImapFailure::Connect; break;
    case StreamError::TimedOut: m_failure = ImapFailure::TimedOut; break;
    case StreamError::Cancelled: m_failure = ImapFailure::Cancelled; break;
    case StreamError::Certificate: m_failure = ImapFailure::Certificate; break;
    case StreamError::Tls: m_failure = ImapFailure::Tls; break;
    case StreamError::TooLarge:
        m_failure = ImapFailure::TooLarge;
        m_detail = std::to_string(m_stream.RefusedLiteral());
        break;
    case StreamError::Closed:
    case StreamError::Io:
        m_failure = m_loggedIn ? ImapFailure::Closed : ImapFailure::ClosedAtLogin;
        break;
    case StreamError::TooLong:
        m_failure = ImapFailure::TooLong;
        break;
    case StreamError::TooSlow:
        m_failure = ImapFailure::TooSlow;
        break;
    case StreamError::OldTls:
        m_failure = ImapFailure::OldTls;
        break;
    case StreamError::Unreadable:
        m_failure = ImapFailure::Protocol;
        m_detail = UnreadableWords(m_detail);
        break;
    case StreamError::None: m_failure = otherwise; break;
    }
    return false;
}

bool CImapSession::Open(const ImapServer& server, const std::string& password) {
    if (!m_stream.Connect(server.host, server.port)) return FailFromStream(ImapFailure::Connect);
    if (server.security == ImapSecurity::Tls && !m_stream.StartTls(server.host, m_options.trust))
        return FailFromStream(ImapFailure::Tls);
    if (server.security == ImapSecurity::Plain && !m_stream.PeerIsLoopback()) {
        m_failure = ImapFailure::PlainRefused;
        return false;
    }
    m_imap = mailimap_new(0, nullptr);
    const int r = mailimap_connect(m_imap, m_stream.MakeMailstream());
    if (r != MAILIMAP_NO_ERROR_NON_AUTHENTICATED && r != MAILIMAP_NO_ERROR_AUTHENTICATED) return FailGreeting(r);
    if (server.security == ImapSecurity::StartTls && !UpgradeAfterGreeting(server)) return false;
    const int login = mailimap_login(m_imap, server.user.c_str(), password.c_str());
    if (login != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Login, login);
    m_loggedIn = true;
    return true;
}

// STARTTLS when offered; without it, only a connection to this machine may stay plain.
bool CImapSession::UpgradeAfterGreeting(const ImapServer& server) {
    // Not mailimap_capability(): it reads a list the server may never have sent.
    const int r = mailimap_custom_command(m_imap, "CAPABILITY");
    if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Protocol, r);
    if (!HasCapability(m_imap, "STARTTLS")) {
        if (!m_stream.PeerIsLoopback()) {
            m_failure = ImapFailure::PlainRefused;
            return false;
        }
        m_plain = true;
        return true;
    }
    const int s = mailimap_starttls(m_imap);
    if (s != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Tls, s);
    if (!m_stream.StartTls(server.host, m_options.trust)) return FailFromStream(ImapFailure::Tls);
    return true;
}

std::optional<std::vector<ImapFolder>> CImapSession::ListFolders() {
    clist* list = nullptr;
    const int r = mailimap_list(m_imap, "", "*", &list);
    if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Protocol, r), std::nullopt;
    std::vector<ImapFolder> folders;
    for (clistiter* it = clist_begin(list); it; it = clist_next(it)) {
        auto* box = static_cast<mailimap_mailbox_list*>(clist_content(it));
        ImapFolder folder;
        folder.wireName = box->mb_name;
        // A name that is no modified UTF-7 is still shown, as far as it is text.
        folder.displayName = FolderNameFromImap(folder.wireName).value_or(ServerWords(folder.wireName));
        folder.sent = HasSentFlag(box);
        folder.delimiter = box->mb_delimiter;
        folders.push_back(std::move(folder));
    }
    mailimap_list_result_free(list);
    return folders;
}

std::optional<ImapSelection> CImapSession::Examine(const std::string& wireName) {
    const int r = mailimap_examine(m_imap, wireName.c_str());
    if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::NoFolder, r), std::nullopt;
    ImapSelection selection;
    if (m_imap->imap_selection_info) {
        selection.uidValidity = m_imap->imap_selection_info->sel_uidvalidity;
        selection.uidNext = m_imap->imap_selection_info->sel_uidnext;
        selection.exists = m_imap->imap_selection_info->sel_exists;
    }
    return selection;
}

std::optional<ImapSelection> CImapSession::Status(const std::string& wireName) {
    mailimap_status_att_list* wanted = mailimap_status_att_list_new_empty();
    mailimap_status_att_list_add(wanted, MAILIMAP_STATUS_ATT_UIDVALIDITY);
    mailimap_status_att_list_add(wanted, MAILIMAP_STATUS_ATT_UIDNEXT);
    mailimap_mailbox_data_status* status = nullptr;
    const int r = mailimap_status(m_imap, wireName.c_str(), wanted, &status);
    mailimap_status_att_list_free(wanted);
    if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::NoFolder, r), std::nullopt;
    ImapSelection selection;
    for (clistiter* it = status->st_info_list ? clist_begin(status->st_info_list) : nullptr; it; it = clist_next(it)) {
        const auto* info = static_cast<mailimap_status_info*>(clist_content(it));
        if (info->st_att == MAILIMAP_STATUS_ATT_UIDVALIDITY) selection.uidValidity = info->st_value;
        if (info->st_att == MAILIMAP_STATUS_ATT_UIDNEXT) selection.uidNext = info->st_value;
    }
    mailimap_mailbox_data_status_free(status);
    return selection;
}

std::optional<std::vector<std::uint32_t>> CImapSession::Search(const ImapSearch& search) {
    std::vector<std::uint32_t> uids;
    for (std::size_t begin = 0; begin < search.addresses.size(); begin += kAddressesPerSearch) {
        const std::size_t end = std::min(search.addresses.size(), begin + kAddressesPerSearch);
        mailimap_search_key* key = mailimap_search_key_new_multiple_empty();
        mailimap_search_key_multiple_add(
            key, mailimap_search_key_new_uid(mailimap_set_new_interval(search.firstUid, search.lastUid)));
        if (search.sinceYear)
            mailimap_search_key_multiple_add(
                key, mailimap_search_key_new_since(mailimap_date_new(search.sinceDay, search.sinceMonth, search.sinceYear)));
        mailimap_search_key_multiple_add(key, AddressKey(search.addresses, begin, end));
        clist* found = nullptr;
        const int r = mailimap_uid_search(m_imap, nullptr, key, &found);
        mailimap_search_key_free(key);
        if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Protocol, r), std::nullopt;
        for (clistiter* it = clist_begin(found); it; it = clist_next(it)) {
            const std::uint32_t uid = *static_cast<std::uint32_t*>(clist_content(it));
            // "first:*" also matches the newest mail when it is below `first`.
            if (uid >= search.firstUid && (search.lastUid == 0 || uid <= search.lastUid)) uids.push_back(uid);
        }
        mailimap_search_result_free(found);
    }
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    return uids;
}

std::optional<std::vector<std::uint64_t>> CImapSession::Sizes(const std::vector<std::uint32_t>& uids) {
    std::vector<std::uint64_t> sizes(uids.size(), 0);
    if (uids.empty()) return sizes;
    std::vector<std::uint32_t> sorted = uids;
    std::sort(sorted.begin(), sorted.end());
    mailimap_set* set = UidSet(sorted);
    mailimap_fetch_type* type = mailimap_fetch_type_new_fetch_att_list_empty();
    mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_uid());
    mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_rfc822_size());
    clist* fetched = nullptr;
    const int r = mailimap_uid_fetch(m_imap, set, type, &fetched);
    mailimap_fetch_type_free(type);
    mailimap_set_free(set);
    if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Protocol, r), std::nullopt;
    std::map<std::uint32_t, std::uint64_t> byUid;
    ForEachAttribute(fetched, [&](std::uint32_t uid, const mailimap_msg_att_static& a) {
        if (a.att_type == MAILIMAP_MSG_ATT_RFC822_SIZE) byUid[uid] = a.att_data.att_rfc822_size;
    });
    mailimap_fetch_list_free(fetched);
    for (std::size_t i = 0; i < uids.size(); ++i)
        if (const auto it = byUid.find(uids[i]); it != byUid.end()) sizes[i] = it->second;
    return sizes;
}

std::optional<std::string> CImapSession::Fetch(std::uint32_t uid) {
    std::optional<FetchedBodies> bodies = FetchMany({uid});
    if (!bodies) return std::nullopt;
    const auto it = bodies->find(uid);
    return it == bodies->end() ? std::string() : std::move(it->second);  // empty when the mail was expunged meanwhile
}

std::optional<FetchedBodies> CImapSession::FetchMany(const std::vector<std::uint32_t>& uids,
                                                     std::uint64_t expectedBytes) {
    FetchedBodies bodies;
    if (uids.empty()) return bodies;
    std::vector<std::uint32_t> sorted = uids;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    mailimap_set* set = UidSet(sorted);
    mailimap_fetch_type* type = mailimap_fetch_type_new_fetch_att_list_empty();
    mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_uid());
    mailimap_fetch_type_new_fetch_att_list_add(type, mailimap_fetch_att_new_body_peek_section(mailimap_section_new(nullptr)));
    clist* fetched = nullptr;
    m_stream.ExpectBytes(expectedBytes);
    const int r = mailimap_uid_fetch(m_imap, set, type, &fetched);
    mailimap_fetch_type_free(type);
    mailimap_set_free(set);
    if (r != MAILIMAP_NO_ERROR) return Fail(ImapFailure::Protocol, r), std::nullopt;
    // A UID not asked for (a server's mistake, or a mail of another command) is passed over.
    ForEachAttribute(fetched, [&](std::uint32_t uid, const mailimap_msg_att_static& a) {
        if (a.att_type == MAILIMAP_MSG_ATT_BODY_SECTION && a.att_data.att_body_section->sec_body_part &&
            std::binary_search(sorted.begin(), sorted.end(), uid))
            bodies[uid].assign(a.att_data.att_body_section->sec_body_part, a.att_data.att_body_section->sec_length);
    });
    mailimap_fetch_list_free(fetched);
    return bodies;
}
