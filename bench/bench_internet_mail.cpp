// Internet mail over a 10,000-message mbox: the whole reader (every message to the
// parsed-mail record) beside GMime's bare parse of the same file (every message
// constructed and dropped). The reader should keep at least half the bare rate.
#include <benchmark/benchmark.h>
#include <gmime/gmime.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "mail/mail_files.h"

namespace {

constexpr int kMessages = 10000;

// Messages as mail programs write them: encoded names and subjects, a Japanese body in
// base64 or quoted-printable, every fifth one multipart/alternative with an HTML part.
std::string Message(int i) {
    const std::string from = "From pal" + std::to_string(i % 50) + "@example.jp Tue Mar  5 21:04:05 2024\n";
    std::string m = from + "From: =?UTF-8?B?5Y+L6YGU?= <pal" + std::to_string(i % 50) + "@example.jp>\n" +
                    "To: taro@example.jp\nSubject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?=\n" +
                    "Date: Tue, 5 Mar 2024 21:04:05 +0900\nMessage-ID: <" + std::to_string(i) + "@example.jp>\n" +
                    "MIME-Version: 1.0\n";
    const std::string plain =
        "Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64\n\n"
        "44GT44KT44Gr44Gh44Gv44CC5LuK5pel44Gv44Go44Gm44KC6Imv44GE5aSp5rCX44Gn44GX44Gf44Gt44CCCuaVo+atqeOBq+WHuuOB\n"
        "i+OBkeOBvuOBl+OBn+OAggpodHRwOi8vcGFsLmV4YW1wbGUuanAvZGlhcnkv\n";
    if (i % 5 != 0) return m + plain + "\n";
    m += "Content-Type: multipart/alternative; boundary=\"b\"\n\n--b\n" + plain +
         "--b\nContent-Type: text/html; charset=UTF-8\nContent-Transfer-Encoding: quoted-printable\n\n"
         "<p>=E3=81=93=E3=82=93=E3=81=AB=E3=81=A1=E3=81=AF</p><a href=3D\"http://pal.example.jp/\">x</a>\n--b--\n\n";
    return m;
}

const std::filesystem::path& Mbox() {
    static const std::filesystem::path path = [] {
        std::filesystem::path file = std::filesystem::temp_directory_path() / "yubino_bench_10000.mbox";
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < kMessages; ++i) out << Message(i);
        return file;
    }();
    return path;
}

class CCountingSink : public CMailSink {
public:
    bool TakeMail(const ParsedMail& mail) override {
        benchmark::DoNotOptimize(mail.pal.m_strLastMailText.data());
        ++count;
        return true;
    }
    void Failed(const std::filesystem::path&, const std::string&) override { ++failed; }
    int count = 0;
    int failed = 0;
};

void BM_ReadMbox(benchmark::State& state) {
    for (auto _ : state) {
        CCountingSink sink;
        ReadMailPath(Mbox(), sink);
        if (sink.count != kMessages) state.SkipWithError("not every message was read");
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_ReadMbox)->Unit(benchmark::kMillisecond);

void BM_GMimeBareParse(benchmark::State& state) {
    g_mime_init();
    for (auto _ : state) {
        GMimeStream* stream = g_mime_stream_file_open(Mbox().c_str(), "r", nullptr);
        GMimeParser* parser = g_mime_parser_new_with_stream(stream);
        g_mime_parser_set_format(parser, GMIME_FORMAT_MBOX);
        int count = 0;
        while (!g_mime_parser_eos(parser)) {
            GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
            if (!message) break;
            ++count;
            g_object_unref(message);
        }
        g_object_unref(parser);
        g_object_unref(stream);
        if (count != kMessages) state.SkipWithError("not every message was parsed");
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_GMimeBareParse)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
