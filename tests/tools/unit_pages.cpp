#include "demo_service.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <regex>

namespace sorvo::test {
namespace {

class Pages : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service = std::make_unique<DemoService>(
            std::vector<std::string>{"--tencent-path", "/u/sorvo-operator"});
    }
    static void TearDownTestSuite() { EXPECT_EQ(service->stop(), 0); }

    static httplib::Result get(const std::string& path) { return service->client().Get(path); }

    static inline std::unique_ptr<DemoService> service;
};

void expectUtf8Html(const httplib::Result& response) {
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(response->body.find("<meta charset=\"utf-8\">"), std::string::npos);
}

TEST_F(Pages, RadioAndUpgradePagesAreHtml) {
    for (const std::string path : {"/diantai/sorvo/", "/diantai/softpic/soft_v1.0.html"}) {
        SCOPED_TRACE(path);
        expectUtf8Html(get(path));
    }
}

TEST_F(Pages, TrayPagesShowTheSourceTagTheyWereOpenedWith) {
    for (const std::string path : {"/", "/diantai/", "/sorvo_beta1.2/sc.html", "/forum.php",
                                   "/vandrthread-331-1-1.html", "/sorvo/", "/u/sorvo-operator"}) {
        SCOPED_TRACE(path);
        auto response = get(path + "?src=SorvoRadio");
        expectUtf8Html(response);
        EXPECT_NE(response->body.find("SorvoRadio"), std::string::npos);
    }
}

TEST_F(Pages, SourceTagIsShownAsTextNotMarkup) {
    auto response = get("/forum.php?src=%3Cscript%3Ealert(1)%3C%2Fscript%3E");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->body.find("<script>alert"), std::string::npos);
    EXPECT_NE(response->body.find("&lt;script&gt;alert(1)"), std::string::npos);
}

TEST_F(Pages, UnknownPathsAreNotFound) {
    for (const std::string path : {"/nope", "/download/other.exe", "/sorvoradio",
                                   "/diantai/sorvo/channel/none.wav", "/diantai/softpic/"}) {
        SCOPED_TRACE(path);
        auto response = get(path);
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 404);
    }
}

struct Wav {
    std::uint32_t riffSize = 0;
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t dataSize = 0;
};

template <typename T> T littleEndian(const std::string& bytes, std::size_t at) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<T>(static_cast<unsigned char>(bytes.at(at + i)) << (8 * i));
    return value;
}

TEST_F(Pages, RadioPagePlaysMusicTheServiceServes) {
    auto page = get("/diantai/sorvo/");
    ASSERT_TRUE(page);
    std::smatch audio;
    ASSERT_TRUE(
        std::regex_search(page->body, audio, std::regex(R"(<audio\b[^>]*\bsrc="([^"]+)\"[^>]*>)")));
    EXPECT_NE(audio.str(0).find("autoplay"), std::string::npos);
    EXPECT_NE(audio.str(0).find("loop"), std::string::npos);

    auto stream = get(audio.str(1));
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->status, 200);
    EXPECT_EQ(stream->get_header_value("Content-Type"), "audio/wav");
    const std::string& wav = stream->body;
    ASSERT_GT(wav.size(), 44u);
    ASSERT_EQ(wav.substr(0, 4), "RIFF");
    ASSERT_EQ(wav.substr(8, 8), "WAVEfmt ");
    ASSERT_EQ(wav.substr(36, 4), "data");
    const Wav header{littleEndian<std::uint32_t>(wav, 4),  littleEndian<std::uint16_t>(wav, 20),
                     littleEndian<std::uint16_t>(wav, 22), littleEndian<std::uint32_t>(wav, 24),
                     littleEndian<std::uint16_t>(wav, 34), littleEndian<std::uint32_t>(wav, 40)};
    EXPECT_EQ(header.format, 1); // PCM
    EXPECT_EQ(header.bitsPerSample, 16);
    EXPECT_EQ(header.riffSize + 8, wav.size());
    EXPECT_EQ(header.dataSize + 44, wav.size());
    const double seconds =
        header.dataSize / (2.0 * header.channels * static_cast<double>(header.sampleRate));
    EXPECT_GT(seconds, 30.0);

    int loudest = 0;
    for (std::size_t at = 44; at + 1 < wav.size(); at += 2)
        loudest =
            std::max(loudest, std::abs(static_cast<int>(littleEndian<std::int16_t>(wav, at))));
    EXPECT_GT(loudest, 8000) << "the stream is (nearly) silent";

    // The browser's media player fetches in ranges.
    auto head = service->client().Get(audio.str(1), {{"Range", "bytes=0-43"}});
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 206);
    EXPECT_TRUE(head->body == wav.substr(0, 44));
}

TEST_F(Pages, EveryChannelInTheListHasAStream) {
    auto page = get("/diantai/sorvo/");
    ASSERT_TRUE(page);
    const std::regex source(R"(data-src="([^"]+)\")");
    int channels = 0;
    for (std::sregex_iterator it(page->body.begin(), page->body.end(), source), end; it != end;
         ++it, ++channels) {
        const std::string path = (*it)[1];
        SCOPED_TRACE(path);
        auto stream = service->client().Head(path);
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->status, 200);
        EXPECT_EQ(stream->get_header_value("Content-Type"), "audio/wav");
    }
    EXPECT_GE(channels, 2);
}

// A benchmark plays the page with its disc still to tell the cost of the turning layer apart:
// the disc must stop turning, and nothing else may stop moving.
TEST(StillDisc, OnlyTheDiscStopsTurning) {
    const std::string turningRule = ".playing .disc { animation-play-state: running; }";
    const std::string bouncingRule = ".playing .bars i { animation-play-state: running; }";
    DemoService turning;
    DemoService still({"--disc", "still"});
    const auto turningPage = turning.client().Get("/diantai/sorvo/");
    const auto stillPage = still.client().Get("/diantai/sorvo/");
    ASSERT_TRUE(turningPage);
    ASSERT_TRUE(stillPage);
    EXPECT_NE(turningPage->body.find(turningRule), std::string::npos);
    EXPECT_EQ(stillPage->body.find(turningRule), std::string::npos);
    EXPECT_NE(stillPage->body.find(bouncingRule), std::string::npos);
    EXPECT_NE(stillPage->body.find("<audio"), std::string::npos);

    for (const char* bad : {"spinning", ""}) {
        ChildProcess refused({SORVO_DEMO_SERVICE, "--port", "0", "--disc", bad});
        EXPECT_EQ(refused.wait(), 2) << bad;
    }
}

} // namespace
} // namespace sorvo::test
