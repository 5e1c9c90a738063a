// sound_test.cpp -- the key click: found once, decoded once, refused when huge.
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <new>

// Every allocation through new in this test program is counted, so a test can
// see that a path allocates nothing.
static size_t allocations = 0;

void* operator new(size_t n)
{
    allocations++;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

static std::string u32(uint32_t v) { return {(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)}; }

// A mono 16-bit PCM WAV file of the given bytes of samples, with an extra
// chunk before the samples as some editors write.
static std::string wav(uint32_t sample_bytes)
{
    std::string fmt("\x01\x00\x01\x00\x44\xAC\x00\x00\x88\x58\x01\x00\x02\x00\x10\x00", 16);
    std::string s = "WAVEfmt " + u32(16) + fmt + "LIST" + u32(4) + "INFOdata" + u32(sample_bytes);
    s += std::string(sample_bytes, '\x10');
    return "RIFF" + u32((uint32_t)s.size()) + s;
}

// Each test runs in a fresh directory that is also the current one, holding
// the given sound files.
static std::string enter_temp_dir(const std::vector<std::pair<std::string, uint32_t>>& sounds)
{
    std::string here = make_temp_dir("sound");
    std::filesystem::current_path(here);
    for (const auto& [name, bytes] : sounds)
        EXPECT_TRUE(write_file(here + "/" + name, wav(bytes)));
    return here;
}

// What was written to stderr names `name`, and only once.
static void said_once(const std::string& said, const char* name)
{
    EXPECT_NE(said.find(name), std::string::npos) << said;
    EXPECT_EQ(said.find(name), said.rfind(name)) << "said more than once";
}

TEST(Sound, FindsAFileOnceAndStaysSilentWithOneMessageForAMissingOne)
{
    std::string here = enter_temp_dir({});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sndPlaySoundA("no-such-click.wav", SND_ASYNC));
    EXPECT_FALSE(sndPlaySoundA("no-such-click.wav", SND_ASYNC));
    said_once(testing::internal::GetCapturedStderr(), "no-such-click.wav");

    ASSERT_TRUE(write_file(here + "/click.wav", wav(2000)));
    EXPECT_TRUE(sndPlaySoundA("click.wav", SND_ASYNC) && sndPlaySoundA("click.wav", SND_SYNC));
    ASSERT_EQ(headless_sounds().size(), 2u);
    EXPECT_TRUE(headless_sounds()[0] == here + "/click.wav" && headless_sounds()[1] == headless_sounds()[0]);
    EXPECT_EQ(headless_sound_loads(), 1) << "decoded once, played twice";
}

TEST(Sound, RefusesMoreThanAMebibyteOfSamplesOrNoWaveWithOneMessage)
{
    std::string here = enter_temp_dir({{"big.wav", (1 << 20) + 2}, {"edge.wav", 1 << 20}});
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; i++)
        EXPECT_FALSE(sndPlaySoundA("big.wav", SND_ASYNC));
    said_once(testing::internal::GetCapturedStderr(), "big.wav");
    EXPECT_TRUE(headless_sounds().empty());
    std::string whole = wav(100); // and what is no wave file at all
    for (const std::string& bad : {std::string("RIFF"), whole.substr(0, 40), "RIFX" + whole.substr(4)}) {
        const std::string name = "bad" + std::to_string(bad.size()) + ".wav"; // a name of its own: refusals are kept
        ASSERT_TRUE(write_file(here + "/" + name, bad));
        EXPECT_FALSE(sndPlaySoundA(name.c_str(), SND_ASYNC)) << name;
    }
    EXPECT_EQ(headless_sound_loads(), 0);
    EXPECT_TRUE(sndPlaySoundA("edge.wav", SND_ASYNC)) << "exactly 1 MiB is allowed";
}

// A click comes with every accepted key: once decoded, playing it again must
// not touch the heap. (The headless recorder allocates until its ring of
// kept records is full; the plays before the count fill it.)
TEST(Sound, ARepeatedClickAllocatesNothing)
{
    enter_temp_dir({{"a-rather-long-click-name.wav", 2000}});
    for (size_t i = 0; i <= HeadlessRecord::KEPT; i++)
        ASSERT_TRUE(sndPlaySoundA("a-rather-long-click-name.wav", SND_ASYNC));
    size_t before = allocations;
    for (int i = 0; i < 100; i++)
        sndPlaySoundA("a-rather-long-click-name.wav", SND_ASYNC);
    EXPECT_EQ(allocations, before);
    EXPECT_EQ(headless_sounds().size(), HeadlessRecord::KEPT + 101);
}

// The output is open only around clicks: a burst keeps one stream, and the
// first second of silence after the last click's end closes it. No timer
// runs here, so the wait itself must end in time to close it.
TEST(Sound, TheOutputStaysOpenThroughABurstAndClosesAfterASecondOfSilence)
{
    enter_temp_dir({{"click.wav", 8820}}); // 100 ms at 88,200 bytes a second
    EXPECT_FALSE(headless_sound_output_open());
    ASSERT_TRUE(sndPlaySoundA("click.wav", SND_ASYNC));
    EXPECT_TRUE(headless_sound_output_open());
    for (int i = 0; i < 5; i++) {
        headless_advance_ms(400);
        WaitMessage();
        EXPECT_EQ(headless_last_wait_ms(), 700) << "100 ms of click and 1000 of silence, 400 gone";
        ASSERT_TRUE(sndPlaySoundA("click.wav", SND_ASYNC));
    }
    EXPECT_EQ(headless_sound_opens(), 1);
    for (int ms : {1099, 1}) {
        headless_advance_ms(ms);
        WaitMessage();
        EXPECT_EQ(headless_sound_output_open(), ms > 1) << "after " << ms << " ms more";
    }
    EXPECT_EQ(headless_last_wait_ms(), -1) << "a closed output needs no wake-up";
    ASSERT_TRUE(sndPlaySoundA("click.wav", SND_ASYNC)); // every click heard, the first after the silence too
    EXPECT_EQ((Ints{headless_sound_opens(), (int)headless_sounds().size()}), (Ints{2, 7}));
}
