// osm_convert IN OUT: the OpenStreetMap data of IN written to OUT in the format its name
// says (.osm, .osm.pbf, .osm.gz, .osm.bz2), with libosmium; for the tests that give
// citywalk-map the same data in every format.
#include <cstdio>
#include <exception>
#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: osm_convert IN OUT\n");
    return 2;
  }
  try {
    osmium::io::Reader reader{argv[1]};
    osmium::io::Header header = reader.header();
    osmium::io::Writer writer{argv[2], header, osmium::io::overwrite::allow};
    while (osmium::memory::Buffer buffer = reader.read()) writer(std::move(buffer));
    writer.close();
    reader.close();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "osm_convert: %s\n", e.what());
    return 1;
  }
  return 0;
}
