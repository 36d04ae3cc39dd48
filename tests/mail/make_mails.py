#!/usr/bin/env python3
"""Writes received mails the way common mail programs write them, for the reader's tests.

    make_mails.py programs DIR         one .eml per program (see PROGRAMS)
    make_mails.py mbox FILE COUNT      an mbox of COUNT mails from twenty senders
    make_mails.py maildir DIR COUNT    a Maildir of the same mails
"""
import base64
import email.base64mime
import email.charset
import email.quoprimime
import email.utils
import mailbox
import os
import sys
from datetime import datetime, timedelta, timezone
from email.header import Header
from email.message import Message
from email.mime.application import MIMEApplication
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.policy import compat32

JST = timezone(timedelta(hours=9))
PST = timezone(timedelta(hours=-8))


def address(name, addr, charset):
    if charset == "shift_jis":  # Python would write Shift_JIS words as ISO-2022-JP
        return f"{sjis_word(name)} <{addr}>"
    return email.utils.formataddr((name, addr), charset=charset)


def sjis_word(text):
    return "=?Shift_JIS?B?" + base64.b64encode(text.encode("cp932")).decode() + "?="


def quoted_printable_utf8():
    charset = email.charset.Charset("utf-8")
    charset.body_encoding = email.charset.QP
    return charset


def thunderbird():
    body = "花子です。\nお元気ですか。\n\n写真を載せました: https://hanako.example.jp/blog\n"
    msg = MIMEText(body, "plain", "utf-8")
    msg.replace_header("Content-Type", 'text/plain; charset=UTF-8; format=flowed')
    msg.replace_header("Content-Transfer-Encoding", "8bit")
    msg.set_payload(body.encode("utf-8"), None)
    msg["From"] = address("山田 花子", "hanako@example.jp", "utf-8")
    msg["To"] = "taro@example.jp"
    msg["Subject"] = Header("お久しぶりです", "utf-8")
    msg["Date"] = email.utils.format_datetime(datetime(2024, 3, 5, 21, 4, 5, tzinfo=JST))
    msg["Message-ID"] = "<4f1c2a@example.jp>"
    msg["User-Agent"] = "Mozilla Thunderbird"
    return msg


def outlook():
    alternative = MIMEMultipart("alternative")
    alternative.attach(MIMEText("太郎さんへ\n会議の資料を送ります。\nhttp://www.example.co.jp/\n一郎\n", "plain",
                                quoted_printable_utf8()))
    alternative.attach(MIMEText("<html><body><p>太郎さんへ</p><p>会議の資料を送ります。</p></body></html>", "html",
                                quoted_printable_utf8()))
    msg = MIMEMultipart("mixed")
    msg.attach(alternative)
    msg.attach(MIMEApplication(b"%PDF-1.4 not read", "pdf", Name="資料.pdf"))
    msg["From"] = address("鈴木 一郎", "ichiro@Example.CO.JP", "iso-2022-jp")
    msg["To"] = "taro@example.jp"
    msg["Cc"] = "Jiro <jiro@example.jp>, saburo@example.jp"
    msg["Subject"] = Header("会議の資料", "utf-8")
    msg["Date"] = "Wed, 6 Mar 2024 09:30:00 +0900"
    msg["Message-ID"] = "<TYAPR01MB1234@outlook.example>"
    msg["X-Mailer"] = "Microsoft Outlook 16.0"
    return msg


def gmail():
    msg = MIMEMultipart("alternative")
    plain = MIMEText("Hi Taro,\nSee you at the station.\nhttps://maps.example.com/station?q=1\n-- \nJiro\n", "plain", "utf-8")
    html = MIMEText('<div dir="ltr">Hi Taro,<br>See you at the station.</div>', "html", "utf-8")
    msg.attach(plain)
    msg.attach(html)
    msg["From"] = '"Jiro Tanaka" <jiro.tanaka@gmail.example>'
    msg["To"] = "taro@example.jp"
    msg["Subject"] = "Station"
    msg["Date"] = email.utils.format_datetime(datetime(2024, 3, 9, 8, 15, 0, tzinfo=PST))
    msg["Message-ID"] = "<CAB+gmail123@mail.gmail.example>"
    return msg


def apple_mail():
    html = ('<html><head><style>p { color: red; }</style></head><body><p>こんにちは &amp; ようこそ</p>'
            '<p>ブログは<a href="https://apple.example.jp/diary">こちら</a>です。<br>またね</p>'
            '<script>alert(1)</script></body></html>')
    msg = MIMEText(html, "html", "utf-8")
    msg.replace_header("Content-Transfer-Encoding", "quoted-printable")
    msg.set_payload(email.quoprimime.body_encode(html.encode("utf-8").decode("latin-1")))
    msg["From"] = address("林檎", "ringo@icloud.example", "utf-8")
    msg["To"] = "taro@example.jp"
    msg["Subject"] = Header("日記", "utf-8")
    msg["Date"] = "Thu, 7 Mar 2024 23:59:59 +0900"
    del msg["MIME-Version"]
    msg["Mime-Version"] = "1.0 (Mac OS X Mail 16.0 \\(3774.600.62\\))"
    return msg


def mobile_carrier():
    # Shift_JIS on the label, code page 932 in fact (① and ㈱), base64 as the carriers send it.
    body = "おはよう①\r\n㈱ゆびの商事に入りました\r\nhttp://m.example.ne.jp/~keitai\r\n"
    msg = Message()
    msg["From"] = address("けいたい", "keitai.user@docomo.example.ne.jp", "shift_jis")
    msg["To"] = "taro@example.jp"
    msg["Subject"] = sjis_word("おはよう")
    msg["Date"] = "Mon, 11 Mar 2024 07:30 +0900"
    msg["MIME-Version"] = "1.0"
    msg["Content-Type"] = "text/plain; charset=Shift_JIS"
    msg["Content-Transfer-Encoding"] = "base64"
    msg.set_payload(email.base64mime.body_encode(body.encode("cp932")))
    return msg


def sjis_to_jis(data):
    """Code page 932 bytes to ISO-2022-JP the way Japanese mail programs write it: row 13
    (①, ㈱) and the other NEC rows go into JIS X 0208 escapes unchanged."""
    out, kanji, i = bytearray(), False, 0
    while i < len(data):
        c = data[i]
        if c < 0x80:
            if kanji:
                out += b"\x1b(B"
                kanji = False
            out.append(c)
            i += 1
            continue
        c2 = data[i + 1]
        j1 = ((c - (0x70 if c < 0xA0 else 0xB0)) << 1)
        if c2 < 0x9F:
            j1 -= 1
            j2 = c2 - (0x20 if c2 > 0x7F else 0x1F)
        else:
            j2 = c2 - 0x7E
        if not kanji:
            out += b"\x1b$B"
            kanji = True
        out += bytes([j1, j2])
        i += 2
    if kanji:
        out += b"\x1b(B"
    return bytes(out)


def plain_iso2022jp():
    body = "はじめまして。①番の㈱です。\nよろしく。\nhttp://jis.example.jp/home\n"
    lines = [sjis_to_jis(line.encode("cp932")) for line in body.split("\n")]
    msg = Message()
    msg["Received"] = "from mx.example.jp by mail.example.jp; Tue, 12 Mar 2024 12:34:56 +0900"
    msg["Received"] = "from client by mx.example.jp; Tue, 12 Mar 2024 12:30:00 +0900"
    msg["From"] = address("じす", "jis@example.jp", "iso-2022-jp")
    msg["To"] = "taro@example.jp"
    msg["Subject"] = Header("はじめまして", "iso-2022-jp")
    msg["MIME-Version"] = "1.0"
    msg["Content-Type"] = "text/plain; charset=ISO-2022-JP"
    msg["Content-Transfer-Encoding"] = "7bit"
    msg.set_payload(b"\n".join(lines).decode("ascii"))
    return msg


PROGRAMS = {"thunderbird": thunderbird, "outlook": outlook, "gmail": gmail, "apple_mail": apple_mail,
            "mobile_carrier": mobile_carrier, "iso2022jp": plain_iso2022jp}


def numbered(i):
    """Mail i of a mailbox: twenty senders, one mail an hour, a body line starting with From."""
    body = f"メール {i} 通目です。\nFrom the station, with love.\nhttp://pal{i % 20}.example.jp/{i}\n"
    msg = MIMEText(body, "plain", "utf-8")
    msg["From"] = address(f"友達{i % 20}", f"pal{i % 20}@example.jp", "utf-8")
    msg["To"] = "taro@example.jp"
    msg["Subject"] = Header(f"こんにちは {i}", "utf-8")
    msg["Date"] = email.utils.format_datetime(datetime(2020, 1, 1, tzinfo=JST) + timedelta(hours=i))
    msg["Message-ID"] = f"<{i}@example.jp>"
    return msg


def main():
    kind, target = sys.argv[1], sys.argv[2]
    if kind == "programs":
        for name, make in PROGRAMS.items():
            with open(f"{target}/{name}.eml", "wb") as f:
                f.write(make().as_bytes(policy=compat32.clone(linesep="\r\n" if name == "outlook" else "\n")))
        return
    count = int(sys.argv[3])
    if kind == "maildir":
        # Delivered mail as a mail program leaves it, written straight into cur/ (the
        # mailbox module's tmp/ to new/ moves cost ten times as long for no difference).
        for sub in ("cur", "new", "tmp"):
            os.makedirs(os.path.join(target, sub), exist_ok=True)
        for i in range(count):
            with open(os.path.join(target, "cur", f"{1700000000 + i}.{i}.yubino:2,S"), "wb") as f:
                f.write(numbered(i).as_bytes())
        return
    box = mailbox.mbox(target)
    for i in range(count):
        box.add(numbered(i))
    box.close()

if __name__ == "__main__":
    main()
