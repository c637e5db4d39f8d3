// Checks on OpenStreetMap data made before libosmium reads it, for what libosmium does not
// check itself (found by fuzzing): a PBF block header without a type name (compared through
// a null pointer), and an XML coordinate with a large exponent (scaled into an overflowing
// integer). Compressed XML is unpacked here, so that its coordinates are checked too.
#pragma once

#include <cstddef>
#include <string>

// The data's format from its first bytes: "osm.gz", "osm.bz2", "pbf" or "osm" (XML).
std::string MapFormat(const char* bytes, std::size_t size);

// Unpacks gzip or bzip2 data into out; false with the reason in error when it is damaged or
// unpacks to more than kMostUnpackedBytes.
bool Unpack(const char* bytes, std::size_t size, const std::string& format, std::string& out,
            std::string& error);
inline constexpr std::size_t kMostUnpackedBytes = std::size_t{1} << 30;

// Whether each PBF block fits in the bytes present and names its type.
bool PbfBlocksSound(const char* bytes, std::size_t size, std::string& error);

// Whether no lat or lon attribute of the XML is written with an exponent above 1 (OSM writes
// plain decimals; libosmium multiplies by ten once per unit of the exponent, in a 64-bit
// integer that holds up to 17 digits of a coordinate and one more).
bool XmlCoordinatesSound(const char* text, std::size_t size, std::string& error);
