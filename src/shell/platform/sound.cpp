// sound.cpp -- sndPlaySoundA: the key click.
//
// Finds a sound file by its data-file name, reads its samples once (refusing a
// file that is no WAV or holds more than SOUND_SAMPLES_MAX bytes of samples)
// and hands them to the backend to decode once. Owns the table of names seen
// so far and the backend's handle for each (or that the name is silent), so
// the click on every accepted key neither searches the disk nor allocates;
// and whether the sound output is open: it is opened for a sound and closed
// after SOUND_QUIET_MS of silence, so an idle game keeps no audio stream (nor
// its thread, nor the sound card) awake. Called by the drill engine; the
// queue's wait closes the output.
#include "sound.h"

#include "backend.h"
#include "codepage.h"
#include "files.h"
#include "queue.h"
#include "report.h"
#include "win32.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

constexpr uint32_t SOUND_SAMPLES_MAX = 1 << 20; // a key click is a few kB; a sound past this is no click
constexpr uint32_t FMT_CHUNK_MIN = 16;          // the PCM format block
constexpr uint32_t FMT_CHUNK_MAX = 64;          // the largest format block any WAV uses
constexpr int CHUNKS_MAX = 64;                  // chunks passed over before the samples are given up on
constexpr size_t SOUND_NAMES_MAX = 16;          // names remembered; the game uses one
// Silence after which the output is closed: long enough that a burst of
// typing keeps one stream, short enough that an idle game holds none.
constexpr uint64_t SOUND_QUIET_MS = 1000;

struct SoundName {
    std::string name; // CP932, as the caller passed it
    std::string path; // UTF-8 where it was found, for the records
    int handle;       // the backend's, or -1: this name stays silent
    uint64_t ms;      // how long it plays
};

static std::vector<SoundName> names;
static bool output_open = false;
static uint64_t quiet_from_ms = 0; // when the last sound started has ended

static uint32_t le32(const char* p)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    return (uint32_t)u[0] | (uint32_t)u[1] << 8 | (uint32_t)u[2] << 16 | (uint32_t)u[3] << 24;
}

static void put_le32(std::string* s, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        *s += (char)((v >> (8 * i)) & 0xFF);
}

static bool read_exact(int fd, char* buf, size_t n)
{
    size_t done = 0;
    while (done < n) {
        ssize_t got = read(fd, buf + done, n - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += (size_t)got;
    }
    return true;
}

// Reads the format block and the samples of a WAV file and gives them back as
// a minimal WAV image (the other chunks left out), with how long they play.
// Only the samples chunk's header says how big it is, so a huge file is
// refused before it is read. Returns "" on success, else why the file cannot
// be played.
static const char* read_wav(int fd, std::string* image, uint64_t* ms)
{
    char head[12];
    if (!read_exact(fd, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        return "is no WAV file";
    std::string fmt;
    for (int i = 0; i < CHUNKS_MAX; i++) {
        char chunk[8];
        if (!read_exact(fd, chunk, sizeof chunk))
            break;
        uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < FMT_CHUNK_MIN || size > FMT_CHUNK_MAX)
                return "has an unknown format";
            fmt.resize(size);
            if (!read_exact(fd, &fmt[0], size))
                break;
            if (size & 1)
                lseek(fd, 1, SEEK_CUR); // chunks start on even offsets
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (fmt.empty())
                return "has its samples before their format";
            if (size > SOUND_SAMPLES_MAX)
                return "holds more than 1 MiB of samples";
            std::string samples(size, '\0');
            if (!read_exact(fd, &samples[0], size))
                break;
            *image = "RIFF";
            put_le32(image, (uint32_t)(4 + 8 + fmt.size() + 8 + size));
            *image += "WAVEfmt ";
            put_le32(image, (uint32_t)fmt.size());
            *image += fmt + "data";
            put_le32(image, size);
            *image += samples;
            uint32_t bytes_per_second = le32(fmt.data() + 8);
            *ms = bytes_per_second ? (uint64_t)size * 1000 / bytes_per_second : 0;
            return "";
        } else if (lseek(fd, (off_t)size + (size & 1), SEEK_CUR) < 0) {
            break;
        }
    }
    return "is cut short";
}

static bool open_output()
{
    if (!output_open)
        output_open = backend_sound_open();
    return output_open;
}

int sound_close_when_quiet(uint64_t now_ms)
{
    if (!output_open)
        return -1;
    if (now_ms < quiet_from_ms + SOUND_QUIET_MS)
        return (int)(quiet_from_ms + SOUND_QUIET_MS - now_ms);
    backend_sound_close();
    output_open = false;
    return -1;
}

// Finds, reads and loads a sound the first time its name is asked for; says
// once on stderr why a sound stays silent. Decoding needs the output's format,
// so the output is opened first; where none can be, the sound stays silent
// without a word, as on a machine without sound.
static const SoundName& sound_named(const char* sound)
{
    for (const SoundName& s : names)
        if (s.name == sound)
            return s;
    if (names.size() >= SOUND_NAMES_MAX)
        names.erase(names.begin()); // the oldest is found and read again should it come back
    SoundName entry{sound, resolve_data_path(sound), -1, 0};
    const char* why = "not found";
    if (!entry.path.empty()) {
        int fd = open(entry.path.c_str(), O_RDONLY | O_CLOEXEC);
        std::string image;
        why = fd < 0 ? "cannot be read" : read_wav(fd, &image, &entry.ms);
        if (fd >= 0)
            close(fd);
        if (!why[0] && open_output())
            entry.handle = backend_load_sound(entry.path.c_str(), image.data(), image.size());
    }
    if (why[0])
        std::fprintf(stderr, "%ssound file \"%s\" %s; it stays silent\n", MESSAGE_PREFIX, cp932_to_utf8(sound).c_str(),
                     why);
    names.push_back(entry);
    return names.back();
}

// Every sound is started and left to play: the backend never blocks, so
// SND_SYNC plays asynchronously too. No default sound exists to fall back on,
// so SND_NODEFAULT changes nothing. The silence that closes the output counts
// from the end of the sound last started.
BOOL sndPlaySoundA(LPCSTR sound, UINT flags)
{
    uint64_t now = queue_now_ms();
    if (!sound) {
        if (output_open)
            backend_play_sound(-1);
        quiet_from_ms = now;
        return TRUE;
    }
    const SoundName& s = sound_named(sound);
    if (s.handle < 0 || !open_output())
        return FALSE; // a missing sound is silence, not an error the user sees
    backend_play_sound(s.handle);
    quiet_from_ms = now + s.ms;
    return TRUE;
}
