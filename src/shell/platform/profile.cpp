// profile.cpp -- private-profile (INI) files: GetPrivateProfileStringA and
// WritePrivateProfileStringA.
//
// Owns no state: every call reads the file afresh (the game reads a handful of
// keys at start-up and writes one per menu command). A write changes only the
// lines it must, keeps every other byte, and replaces the file atomically.
// Called by the shell's settings reader and its menu commands.
#include "codepage.h"
#include "disk.h"
#include "files.h"
#include "win32.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

constexpr size_t PROFILE_FILE_MAX = 1 << 20; // a bigger file is no settings file: not read, not rewritten
constexpr size_t READ_CHUNK = 4096;
constexpr mode_t CONFIG_DIR_MODE = 0700; // what the XDG convention asks for a created config dir
constexpr const char* BLANKS = " \t\r\v\f";

namespace
{

// One line of the file: its bytes without the line end, and the end itself
// ("\r\n", "\n", or "" for a last line that has none).
struct ProfileLine {
    std::string text;
    std::string end;
};

// A line whose first non-blank byte is ';' is a comment. Keys above the first
// section header belong to no section and are never found.
enum class LineKind { Blank, Comment, Section, Key };

// What a line means. A key line without "=" has a name but no value: it is
// listed among the keys, but reading it gives the default.
struct LineInfo {
    LineKind kind = LineKind::Blank;
    std::string name;
    std::string value;
    bool has_value = false;
};

enum class LoadResult { Ok, Missing, Failed };

} // namespace

// ---- paths ------------------------------------------------------------------------

static std::string config_dir() { return xdg_dir("XDG_CONFIG_HOME", ".config"); }

std::string profile_path(const char* cp932_name)
{
    if (!cp932_name || !*cp932_name)
        return "";
    std::string name = cp932_to_utf8(cp932_name);
    if (name.empty() || name.find('/') != std::string::npos)
        return name;
    return config_dir() + "/" + name;
}

// ---- reading and parsing -------------------------------------------------------------

static bool read_all(int fd, std::string* out)
{
    char chunk[READ_CHUNK];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || out->size() + (size_t)n > PROFILE_FILE_MAX)
            return false;
        if (n == 0)
            return true;
        out->append(chunk, (size_t)n);
    }
}

// Reads the whole file. Missing: nothing is there yet. Failed: something is
// there that must not be read or replaced (a directory, a FIFO, an unreadable
// or oversized file). mode receives the file's permission bits when Ok.
static LoadResult load_file(const std::string& path, std::string* bytes, mode_t* mode)
{
    if (path.empty() || path.size() >= PATH_MAX)
        return LoadResult::Failed;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? LoadResult::Missing : LoadResult::Failed;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && read_all(fd, bytes);
    if (ok && mode)
        *mode = st.st_mode & 07777;
    close(fd);
    return ok ? LoadResult::Ok : LoadResult::Failed;
}

// Lines end in LF, CR LF or a lone CR (as older editors save); each line keeps
// its own end so that a rewrite gives back every byte it did not change.
static std::vector<ProfileLine> split_lines(const std::string& bytes)
{
    std::vector<ProfileLine> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t brk = bytes.find_first_of("\r\n", start);
        if (brk == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        size_t end_len = (bytes[brk] == '\r' && brk + 1 < bytes.size() && bytes[brk + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.substr(start, brk - start), bytes.substr(brk, end_len)});
        start = brk + end_len;
    }
    return lines;
}

// A UTF-8 byte-order mark some editors put first is no part of the first line:
// it is set apart while the file is read and put back when it is written.
static const char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

static std::string take_byte_order_mark(std::string* bytes)
{
    if (bytes->compare(0, 3, BYTE_ORDER_MARK) != 0)
        return "";
    bytes->erase(0, 3);
    return BYTE_ORDER_MARK;
}

static std::string join_lines(const std::vector<ProfileLine>& lines)
{
    std::string out;
    for (const ProfileLine& line : lines)
        out += line.text + line.end;
    return out;
}

static std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(BLANKS);
    if (b == std::string::npos)
        return "";
    return s.substr(b, s.find_last_not_of(BLANKS) - b + 1);
}

static std::string trim_right(const std::string& s)
{
    size_t e = s.find_last_not_of(BLANKS);
    return e == std::string::npos ? "" : s.substr(0, e + 1);
}

// Offset of the "]" that closes a section name, or npos. Walks whole CP932
// characters: 0x5D can be the second byte of a double-byte character.
static size_t find_close_bracket(const std::string& s, size_t from)
{
    for (size_t i = from; i < s.size();) {
        if (s[i] == ']')
            return i;
        i += (size_t)cp932_char_len(s.data() + i, (int)(s.size() - i));
    }
    return std::string::npos;
}

static LineInfo parse_line(const std::string& text)
{
    LineInfo info;
    std::string t = trim(text);
    if (t.empty())
        return info;
    if (t[0] == ';') {
        info.kind = LineKind::Comment;
    } else if (t[0] == '[') {
        info.kind = LineKind::Section;
        info.name = trim(t.substr(1, find_close_bracket(t, 1) - 1));
    } else {
        info.kind = LineKind::Key;
        size_t eq = t.find('='); // 0x3D is never the second byte of a character
        info.name = trim(t.substr(0, eq));
        info.has_value = eq != std::string::npos;
        if (info.has_value)
            info.value = trim(t.substr(eq + 1));
    }
    return info;
}

static char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

// Names compare case-insensitively for ASCII letters only; the bytes of a
// double-byte character are compared exactly (its second byte may look like a letter).
static bool names_equal(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size();) {
        int len = cp932_char_len(a.data() + i, (int)(a.size() - i));
        if (len == 2 ? a.compare(i, 2, b, i, 2) != 0 : ascii_lower(a[i]) != ascii_lower(b[i]))
            return false;
        i += (size_t)len;
    }
    return true;
}

// ---- finding sections and keys ------------------------------------------------------

// Index of the first header of the named section, or -1.
static int find_section(const std::vector<ProfileLine>& lines, const std::string& name)
{
    for (size_t i = 0; i < lines.size(); i++) {
        LineInfo info = parse_line(lines[i].text);
        if (info.kind == LineKind::Section && names_equal(info.name, name))
            return (int)i;
    }
    return -1;
}

// Index one past the last line of the section whose header is at header.
static int section_end(const std::vector<ProfileLine>& lines, int header)
{
    for (size_t i = (size_t)header + 1; i < lines.size(); i++)
        if (parse_line(lines[i].text).kind == LineKind::Section)
            return (int)i;
    return (int)lines.size();
}

// Index of the first line of the section that holds the key, or -1.
static int find_key(const std::vector<ProfileLine>& lines, int header, const std::string& key)
{
    if (header < 0 || key.empty())
        return -1;
    int end = section_end(lines, header);
    for (int i = header + 1; i < end; i++) {
        LineInfo info = parse_line(lines[(size_t)i].text);
        if (info.kind == LineKind::Key && names_equal(info.name, key))
            return i;
    }
    return -1;
}

// ---- GetPrivateProfileStringA ---------------------------------------------------------

static std::string strip_quotes(const std::string& v)
{
    bool quoted = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
    return quoted ? v.substr(1, v.size() - 2) : v;
}

// Copies a value, cut to size - 1 bytes; returns the bytes copied.
static DWORD copy_value(const std::string& value, LPSTR buffer, DWORD size)
{
    size_t n = value.size() < (size_t)size - 1 ? value.size() : (size_t)size - 1;
    memcpy(buffer, value.data(), n);
    buffer[n] = 0;
    return (DWORD)n;
}

// Copies names as a list: each 0-terminated, the list ended by one more 0.
// Returns the bytes before that last 0; when the list does not fit, the last
// name that fits only in part is cut, the list is still ended, and the result
// is size - 2, as Windows does.
static DWORD copy_list(const std::vector<std::string>& names, LPSTR buffer, DWORD size)
{
    if (size < 2) {
        buffer[0] = 0;
        return 0;
    }
    size_t used = 0;
    size_t room = (size_t)size - 1; // the list's own terminator needs the last byte
    for (const std::string& name : names) {
        size_t need = name.size() + 1;
        if (need >= room - used) {
            size_t part = room - used - 1;
            memcpy(buffer + used, name.data(), part);
            buffer[used + part] = 0;
            buffer[used + part + 1] = 0;
            return size - 2;
        }
        memcpy(buffer + used, name.c_str(), need);
        used += need;
    }
    buffer[used] = 0;
    return (DWORD)used;
}

static std::vector<std::string> section_names(const std::vector<ProfileLine>& lines)
{
    std::vector<std::string> names;
    for (const ProfileLine& line : lines) {
        LineInfo info = parse_line(line.text);
        if (info.kind == LineKind::Section && !info.name.empty())
            names.push_back(info.name);
    }
    return names;
}

static std::vector<std::string> key_names(const std::vector<ProfileLine>& lines, int header)
{
    std::vector<std::string> names;
    if (header < 0)
        return names;
    int end = section_end(lines, header);
    for (int i = header + 1; i < end; i++) {
        LineInfo info = parse_line(lines[(size_t)i].text);
        if (info.kind == LineKind::Key && !info.name.empty())
            names.push_back(info.name);
    }
    return names;
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_value, LPSTR buffer, DWORD size,
                               LPCSTR file_name)
{
    if (!buffer || size == 0)
        return 0;
    std::string bytes;
    std::vector<ProfileLine> lines;
    if (load_file(profile_path(file_name), &bytes, nullptr) == LoadResult::Ok) {
        take_byte_order_mark(&bytes);
        lines = split_lines(bytes);
    }
    if (!section)
        return copy_list(section_names(lines), buffer, size);
    int header = find_section(lines, trim(section));
    if (!key)
        return copy_list(key_names(lines, header), buffer, size);
    int at = find_key(lines, header, trim(key));
    LineInfo info = at >= 0 ? parse_line(lines[(size_t)at].text) : LineInfo{};
    if (info.has_value)
        return copy_value(strip_quotes(info.value), buffer, size);
    return copy_value(trim_right(default_value ? default_value : ""), buffer, size);
}

// ---- WritePrivateProfileStringA ---------------------------------------------------------

// A name or value is written up to its first line break: anything after it
// would turn into lines of its own.
static std::string one_line(const char* s)
{
    std::string t(s);
    return t.substr(0, t.find_first_of("\r\n"));
}

static bool is_blank(const ProfileLine& line) { return trim(line.text).empty(); }

// New lines follow the file's own style: the end of its first line, LF when
// it has none.
static std::string line_end_style(const std::vector<ProfileLine>& lines)
{
    return (!lines.empty() && !lines[0].end.empty()) ? lines[0].end : "\n";
}

// Inserts a line before index at; a line it follows gains a line end if it had none.
static void insert_line(std::vector<ProfileLine>& lines, size_t at, const std::string& text, const std::string& eol)
{
    if (at > 0 && lines[at - 1].end.empty())
        lines[at - 1].end = eol;
    lines.insert(lines.begin() + (long)at, ProfileLine{text, eol});
}

static void set_key(std::vector<ProfileLine>& lines, int header, const std::string& key, const std::string& value,
                    const std::string& eol)
{
    int at = find_key(lines, header, key);
    if (at >= 0) { // keep the name as the file spells it, and the line's own end
        lines[(size_t)at].text = parse_line(lines[(size_t)at].text).name + "=" + value;
        return;
    }
    int last = section_end(lines, header) - 1;
    while (last > header && is_blank(lines[(size_t)last]))
        last--;
    insert_line(lines, (size_t)last + 1, key + "=" + value, eol);
}

static void append_section(std::vector<ProfileLine>& lines, const std::string& section, const std::string& key,
                           const std::string& value, const std::string& eol)
{
    if (!lines.empty() && !is_blank(lines.back()))
        insert_line(lines, lines.size(), "", eol); // a blank line between sections
    insert_line(lines, lines.size(), "[" + section + "]", eol);
    insert_line(lines, lines.size(), key + "=" + value, eol);
}

// Applies one write to the lines; false when the file needs no change.
static bool apply_write(std::vector<ProfileLine>& lines, const char* section, const char* key, const char* value)
{
    std::string eol = line_end_style(lines);
    std::string sec = one_line(section);
    int header = find_section(lines, trim(sec));
    if (!key) { // delete the whole section
        if (header < 0)
            return false;
        lines.erase(lines.begin() + header, lines.begin() + section_end(lines, header));
        return true;
    }
    std::string name = one_line(key);
    if (!value) { // delete the key
        int at = find_key(lines, header, trim(name));
        if (at < 0)
            return false;
        lines.erase(lines.begin() + at);
        return true;
    }
    if (header < 0)
        append_section(lines, sec, name, one_line(value), eol);
    else
        set_key(lines, header, trim(name), one_line(value), eol);
    return true;
}

// The mode a new file gets: 0666 less the user's umask. umask can only be read
// by setting it; it is put back at once, and nothing else here creates files
// at the same time.
static mode_t new_file_mode()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// A settings file that is a symbolic link is written through the link, so the
// link stays a link. A link that leads nowhere is refused ("" is returned):
// replacing it would turn it into a file of its own.
static std::string link_target(const std::string& path)
{
    struct stat st;
    char real[PATH_MAX];
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    return realpath(path.c_str(), real) ? std::string(real) : std::string();
}

// Windows refuses to rewrite a file marked read-only. The mode bits are asked,
// not access(): root may write anything, yet a file with no write bit is still
// one its owner marked as not to be changed.
static bool read_only(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file_name)
{
    if (!section || !file_name)
        return FALSE;
    std::string path = link_target(profile_path(file_name));
    if (path.empty() || read_only(path))
        return FALSE;
    std::string bytes;
    mode_t mode = new_file_mode();
    if (load_file(path, &bytes, &mode) == LoadResult::Failed)
        return FALSE;
    std::string mark = take_byte_order_mark(&bytes);
    std::vector<ProfileLine> lines = split_lines(bytes);
    if (!apply_write(lines, section, key, value))
        return TRUE;
    return replace_file(path, mark + join_lines(lines), mode, CONFIG_DIR_MODE) ? TRUE : FALSE;
}
