// Inside the mail library: a GMime message to the parsed-mail record, and the one-time
// set-up GMime needs. Only the library's readers include this header.
#pragma once

#include <gmime/gmime.h>

#include <string>

#include "mail/internet_mail.h"

// g_mime_init, once per process; then the parser options every reader uses (loose
// RFC 2047 and address rules, 8-bit headers tried as UTF-8, code page 932, EUC-JP).
GMimeParserOptions* MailParserOptions();

struct MessageContext {
    std::optional<std::int64_t> fileTime;
    bool fromMbox = false;  // ">From " at a line's start is an escaped "From "
    // The last message of an mbox: the empty line that ends the file closes the mbox, as
    // the one before each "From " line does; it is no line of the message's text.
    bool lastInMbox = false;
};

MailReadResult ReadGMimeMessage(GMimeMessage* message, const MessageContext& context);

// A string GMime gives (UTF-8, null for none) as a string.
inline std::string GText(const char* utf8) { return utf8 ? std::string(utf8) : std::string(); }

// A GObject reference released at the end of a scope.
template <typename T>
class CGObject {
public:
    explicit CGObject(T* object = nullptr) : m_object(object) {}
    ~CGObject() {
        if (m_object) g_object_unref(m_object);
    }
    CGObject(const CGObject&) = delete;
    CGObject& operator=(const CGObject&) = delete;
    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object;
};
