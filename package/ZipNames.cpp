// ZipNames ZIP: rewrites the file names of a zip that CPack wrote for the
// unpackers of Japanese Windows.
//
// CPack stores names as UTF-8 with the zip's UTF-8 flag. Explorer on
// Windows 10 and 11 and 7-Zip read that flag; Explorer on older Windows and
// older Japanese unpackers do not, and show such names garbled. Every name
// that is not plain ASCII is therefore stored the way Japanese Windows has
// always read zip files, in Shift-JIS (CP932) without the flag, and its UTF-8
// form goes into an Info-ZIP Unicode Path extra field (0x7075), which 7-Zip
// and Info-ZIP's unzip use when they are not on a Japanese system. Such
// entries are marked as made on MS-DOS/Windows, so that no reader takes the
// Shift-JIS bytes for the text of a Unix system. The compressed data is
// copied unchanged.
//
// Runs on the build machine (glibc's iconv). Exit code 0 when the zip was
// rewritten or needed nothing, 1 on any error (the zip is then unchanged).

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

unsigned Read16(const Bytes &b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t Read32(const Bytes &b, std::size_t at) {
  return Read16(b, at) | static_cast<std::uint32_t>(Read16(b, at + 2)) << 16;
}
void Put16(Bytes &b, std::size_t at, unsigned v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes &b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}
void Append16(Bytes &b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Append32(Bytes &b, std::uint32_t v) {
  Append16(b, v & 0xFFFF);
  Append16(b, v >> 16);
}

std::uint32_t Crc32(const std::string &text) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : text) {
    crc ^= c;
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

bool ToCp932(const std::string &utf8, std::string &out) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return false;
  std::string in = utf8;
  out.assign(utf8.size() * 2 + 4, '\0');
  char *inPtr = &in[0];
  char *outPtr = &out[0];
  std::size_t inLeft = in.size(), outLeft = out.size();
  bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return ok && inLeft == 0;
}

bool IsAscii(const std::string &text) {
  for (unsigned char c : text)
    if (c > 0x7F)
      return false;
  return true;
}

struct Entry {
  std::size_t central; // offset of its central directory record
  std::string name;    // as stored, then as it is to be stored
  Bytes extra;         // central extra field, then the new one
  Bytes localExtra;
  bool rewritten;
};

const unsigned kUtf8Flag = 0x0800;
const unsigned kDataDescriptorFlag = 0x0008;
const unsigned kMadeOnMsDos = 20; // version 2.0, host system 0

int Fail(const char *what) {
  std::fprintf(stderr, "ZipNames: %s\n", what);
  return 1;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2)
    return Fail("usage: ZipNames ZIP");
  Bytes zip;
  {
    std::FILE *file = std::fopen(argv[1], "rb");
    if (!file)
      return Fail("cannot open the zip");
    unsigned char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
      zip.insert(zip.end(), buffer, buffer + n);
    std::fclose(file);
  }

  // The end record, without an archive comment (CPack writes none).
  if (zip.size() < 22)
    return Fail("not a zip");
  std::size_t end = zip.size() - 22;
  if (Read32(zip, end) != 0x06054b50)
    return Fail("no end record where it belongs");
  unsigned count = Read16(zip, end + 10);
  std::size_t directory = Read32(zip, end + 16);
  if (directory > end)
    return Fail("central directory out of bounds");

  std::vector<Entry> entries;
  std::size_t at = directory;
  for (unsigned i = 0; i < count; ++i) {
    if (at + 46 > end || Read32(zip, at) != 0x02014b50)
      return Fail("broken central directory");
    unsigned nameLength = Read16(zip, at + 28), extraLength = Read16(zip, at + 30),
             commentLength = Read16(zip, at + 32);
    Entry entry;
    entry.central = at;
    entry.name.assign(zip.begin() + at + 46, zip.begin() + at + 46 + nameLength);
    entry.extra.assign(zip.begin() + at + 46 + nameLength,
                       zip.begin() + at + 46 + nameLength + extraLength);
    entry.rewritten = false;
    std::size_t local = Read32(zip, at + 42);
    if (local + 30 > directory || Read32(zip, local) != 0x04034b50)
      return Fail("broken local header");
    std::size_t localName = Read16(zip, local + 26), localExtra = Read16(zip, local + 28);
    entry.localExtra.assign(zip.begin() + local + 30 + localName,
                            zip.begin() + local + 30 + localName + localExtra);
    if ((Read16(zip, at + 8) & kUtf8Flag) && !IsAscii(entry.name)) {
      std::string shiftJis;
      if (!ToCp932(entry.name, shiftJis))
        return Fail("a name has no Shift-JIS form");
      Bytes unicodePath;
      Append16(unicodePath, 0x7075);
      Append16(unicodePath, static_cast<unsigned>(1 + 4 + entry.name.size()));
      unicodePath.push_back(1);
      Append32(unicodePath, Crc32(shiftJis));
      unicodePath.insert(unicodePath.end(), entry.name.begin(), entry.name.end());
      entry.extra.insert(entry.extra.end(), unicodePath.begin(), unicodePath.end());
      entry.localExtra.insert(entry.localExtra.end(), unicodePath.begin(), unicodePath.end());
      entry.name = shiftJis;
      entry.rewritten = true;
    }
    entries.push_back(entry);
    at += 46 + nameLength + extraLength + commentLength;
  }

  // Local records in file order; each runs up to the next one (its data and
  // data descriptor are copied as they are).
  std::vector<std::size_t> starts;
  for (const Entry &entry : entries)
    starts.push_back(Read32(zip, entry.central + 42));
  Bytes out, central;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry &entry = entries[i];
    std::size_t local = starts[i];
    std::size_t next = directory;
    for (std::size_t s : starts)
      if (s > local && s < next)
        next = s;
    std::size_t body = local + 30 + Read16(zip, local + 26) + Read16(zip, local + 28);
    if (body > next)
      return Fail("overlapping records");

    Bytes header(zip.begin() + local, zip.begin() + local + 30);
    std::size_t c = entry.central;
    std::uint32_t compressedSize = Read32(zip, c + 20);
    if (body + compressedSize > next)
      return Fail("data out of bounds");
    // The sizes and the CRC go into the local header, as the central
    // directory has them, instead of a data descriptor after the data.
    Put16(header, 6, Read16(header, 6) & ~(kDataDescriptorFlag | (entry.rewritten ? kUtf8Flag : 0)));
    Put32(header, 14, Read32(zip, c + 16));
    Put32(header, 18, compressedSize);
    Put32(header, 22, Read32(zip, c + 24));
    Put16(header, 26, static_cast<unsigned>(entry.name.size()));
    Put16(header, 28, static_cast<unsigned>(entry.localExtra.size()));
    std::size_t newLocal = out.size();
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    out.insert(out.end(), entry.localExtra.begin(), entry.localExtra.end());
    out.insert(out.end(), zip.begin() + body, zip.begin() + body + compressedSize);

    unsigned commentLength = Read16(zip, c + 32);
    std::size_t comment = c + 46 + Read16(zip, c + 28) + Read16(zip, c + 30);
    Bytes record(zip.begin() + c, zip.begin() + c + 46);
    Put16(record, 8, Read16(record, 8) & ~kDataDescriptorFlag);
    if (entry.rewritten) {
      Put16(record, 4, kMadeOnMsDos);
      Put16(record, 8, Read16(record, 8) & ~kUtf8Flag);
      // DOS attributes only: the Unix mode in the high half means nothing
      // once the entry is marked as made on Windows.
      Put32(record, 38, Read32(record, 38) & 0xFFFF);
    }
    Put16(record, 28, static_cast<unsigned>(entry.name.size()));
    Put16(record, 30, static_cast<unsigned>(entry.extra.size()));
    Put32(record, 42, static_cast<std::uint32_t>(newLocal));
    central.insert(central.end(), record.begin(), record.end());
    central.insert(central.end(), entry.name.begin(), entry.name.end());
    central.insert(central.end(), entry.extra.begin(), entry.extra.end());
    central.insert(central.end(), zip.begin() + comment, zip.begin() + comment + commentLength);
  }
  Bytes endRecord(zip.begin() + end, zip.end());
  Put32(endRecord, 12, static_cast<std::uint32_t>(central.size()));
  Put32(endRecord, 16, static_cast<std::uint32_t>(out.size()));
  out.insert(out.end(), central.begin(), central.end());
  out.insert(out.end(), endRecord.begin(), endRecord.end());

  std::string temporary = std::string(argv[1]) + ".part";
  std::FILE *file = std::fopen(temporary.c_str(), "wb");
  if (!file)
    return Fail("cannot write the new zip");
  bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  written = std::fclose(file) == 0 && written;
  if (!written || std::rename(temporary.c_str(), argv[1]) != 0) {
    std::remove(temporary.c_str());
    return Fail("cannot write the new zip");
  }
  return 0;
}
