// The checks made before libosmium reads a map.
#include "osm_guard.h"

#include <bzlib.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <protozero/pbf_reader.hpp>

std::string MapFormat(const char* bytes, std::size_t size) {
  if (size >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
      static_cast<unsigned char>(bytes[1]) == 0x8b)
    return "osm.gz";
  if (size >= 3 && std::memcmp(bytes, "BZh", 3) == 0) return "osm.bz2";
  if (size >= 15 && std::memcmp(bytes + 4, "\x0a\x09OSMHeader", 11) == 0) return "pbf";
  return "osm";
}

namespace {

// Unpacks with zlib (gzip, and gzip members one after another).
bool Gunzip(const char* bytes, std::size_t size, std::string& out) {
  z_stream s{};
  if (inflateInit2(&s, 15 + 32) != Z_OK) return false;
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
  s.avail_in = static_cast<uInt>(size);
  char chunk[65536];
  int result = Z_OK;
  while (result != Z_STREAM_END || s.avail_in > 0) {
    if (result == Z_STREAM_END && inflateReset(&s) != Z_OK) break;
    s.next_out = reinterpret_cast<Bytef*>(chunk);
    s.avail_out = sizeof chunk;
    result = inflate(&s, Z_NO_FLUSH);
    out.append(chunk, sizeof chunk - s.avail_out);
    if ((result != Z_OK && result != Z_STREAM_END) || out.size() > kMostUnpackedBytes ||
        (result == Z_OK && s.avail_in == 0 && s.avail_out != 0))
      break;
  }
  inflateEnd(&s);
  return result == Z_STREAM_END && s.avail_in == 0 && out.size() <= kMostUnpackedBytes;
}

// Unpacks with libbzip2 (bzip2 streams one after another).
bool Bunzip(const char* bytes, std::size_t size, std::string& out) {
  bz_stream s{};
  if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK) return false;
  s.next_in = const_cast<char*>(bytes);
  s.avail_in = static_cast<unsigned>(size);
  char chunk[65536];
  int result = BZ_OK;
  while (result != BZ_STREAM_END || s.avail_in > 0) {
    if (result == BZ_STREAM_END) {
      BZ2_bzDecompressEnd(&s);
      const char* next = s.next_in;
      const unsigned left = s.avail_in;
      s = bz_stream{};
      if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK) return false;
      s.next_in = const_cast<char*>(next);
      s.avail_in = left;
    }
    s.next_out = chunk;
    s.avail_out = sizeof chunk;
    result = BZ2_bzDecompress(&s);
    out.append(chunk, sizeof chunk - s.avail_out);
    if ((result != BZ_OK && result != BZ_STREAM_END) || out.size() > kMostUnpackedBytes ||
        (result == BZ_OK && s.avail_in == 0 && s.avail_out != 0))
      break;
  }
  BZ2_bzDecompressEnd(&s);
  return result == BZ_STREAM_END && s.avail_in == 0 && out.size() <= kMostUnpackedBytes;
}

}  // namespace

bool Unpack(const char* bytes, std::size_t size, const std::string& format, std::string& out,
            std::string& error) {
  out.clear();
  const bool ok = format == "osm.gz" ? Gunzip(bytes, size, out) : Bunzip(bytes, size, out);
  if (!ok) {
    error = out.size() > kMostUnpackedBytes
                ? "unpacks to more than 1 GiB of XML (use the .osm.pbf format for large areas)"
                : "damaged " + format.substr(4) + " data";
    out.clear();
  }
  return ok;
}

// A PBF file is a run of blocks, each a 4-byte big-endian length, a header of that length (a
// type name and the size of the data) and the data.
bool PbfBlocksSound(const char* bytes, std::size_t size, std::string& error) {
  std::size_t at = 0;
  while (at < size) {
    if (size - at < 4) {
      error = "a block's length is cut off";
      return false;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(bytes + at);
    const std::size_t length = (std::size_t{b[0]} << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
    at += 4;
    if (length > size - at) {
      error = "a block's header is cut off";
      return false;
    }
    protozero::pbf_reader header{bytes + at, length};
    bool named = false;
    std::int64_t datasize = -1;
    while (header.next()) {
      if (header.tag() == 1 && header.wire_type() == protozero::pbf_wire_type::length_delimited)
        named = header.get_view().size() > 0;
      else if (header.tag() == 3 && header.wire_type() == protozero::pbf_wire_type::varint)
        datasize = header.get_int32();
      else
        header.skip();
    }
    at += length;
    if (!named || datasize <= 0 || static_cast<std::size_t>(datasize) > size - at) {
      error = "a block without a type, or its data cut off";
      return false;
    }
    at += static_cast<std::size_t>(datasize);
  }
  return true;
}

bool XmlCoordinatesSound(const char* text, std::size_t size, std::string& error) {
  const char* end = text + size;
  for (const char* p = text; p + 5 < end; ++p) {
    if (!(p[0] == 'l' && (std::memcmp(p, "lat", 3) == 0 || std::memcmp(p, "lon", 3) == 0)))
      continue;
    const char* q = p + 3;
    while (q < end && (*q == ' ' || *q == '\t' || *q == '\n' || *q == '\r')) ++q;
    if (q >= end || *q != '=') continue;
    ++q;
    while (q < end && (*q == ' ' || *q == '\t' || *q == '\n' || *q == '\r')) ++q;
    if (q >= end || (*q != '"' && *q != '\'')) continue;
    const char quote = *q++;
    for (; q < end && *q != quote; ++q) {
      if (*q != 'e' && *q != 'E') continue;
      const char* e = q + 1;
      if (e < end && *e == '+') ++e;
      while (e < end && *e == '0') ++e;
      if (e < end && *e >= '1' && *e <= '9' &&
          !(*e == '1' && (e + 1 >= end || e[1] < '0' || e[1] > '9'))) {
        error = "a coordinate written with an exponent above 1, which no map writes";
        return false;
      }
    }
  }
  return true;
}
