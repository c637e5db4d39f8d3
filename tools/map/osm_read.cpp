// OpenStreetMap data read with libosmium into the map tool's own lists.
#include "osm_read.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <osmium/area/assembler.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/osm.hpp>
#include <unordered_set>

#include "map_classes.h"
#include "osm_guard.h"

namespace {

LatLon ToLatLon(const osmium::Location& location) { return {location.lat(), location.lon()}; }

// Every object of the data, held in libosmium's buffers, each id once.
struct Objects {
  std::vector<osmium::memory::Buffer> buffers;
  std::vector<std::pair<std::int64_t, osmium::Location>> nodes;  // by id
  std::vector<osmium::Way*> ways;                                // by id
  std::vector<osmium::Relation*> relations;                      // by id
};

// Keeps one object of each id, its latest version (the first of equal versions).
template <typename T>
void KeepLatest(std::vector<T*>& list) {
  std::stable_sort(list.begin(), list.end(), [](const T* a, const T* b) {
    return a->id() != b->id() ? a->id() < b->id() : a->version() > b->version();
  });
  list.erase(std::unique(list.begin(), list.end(),
                         [](const T* a, const T* b) { return a->id() == b->id(); }),
             list.end());
}

// Reads every buffer, sorting the objects by id; the file's bounds into data.
void ReadObjects(const char* bytes, std::size_t size, Objects& objects, MapData& data) {
  std::string format = MapFormat(bytes, size), error, unpacked;
  if (format == "osm.gz" || format == "osm.bz2") {
    if (!Unpack(bytes, size, format, unpacked, error)) throw osmium::io_error{error};
    bytes = unpacked.data();
    size = unpacked.size();
    format = "osm";
  }
  if (format == "pbf" && !PbfBlocksSound(bytes, size, error)) throw osmium::pbf_error{error};
  if (format == "osm" && !XmlCoordinatesSound(bytes, size, error)) throw osmium::xml_error{error};
  osmium::io::File file{bytes, size, format};
  osmium::io::Reader reader{file, osmium::osm_entity_bits::nwr};
  const osmium::Box box = reader.header().box();
  if (box.valid()) {
    data.hasBounds = true;
    data.boundsMin = {box.bottom_left().lat(), box.bottom_left().lon()};
    data.boundsMax = {box.top_right().lat(), box.top_right().lon()};
  }
  std::vector<osmium::Node*> nodes;
  while (osmium::memory::Buffer buffer = reader.read()) {
    for (auto& object : buffer.select<osmium::OSMObject>()) {
      if (!object.visible()) continue;
      if (object.type() == osmium::item_type::node)
        nodes.push_back(static_cast<osmium::Node*>(&object));
      else if (object.type() == osmium::item_type::way)
        objects.ways.push_back(static_cast<osmium::Way*>(&object));
      else if (object.type() == osmium::item_type::relation)
        objects.relations.push_back(static_cast<osmium::Relation*>(&object));
    }
    objects.buffers.push_back(std::move(buffer));
  }
  reader.close();
  KeepLatest(nodes);
  KeepLatest(objects.ways);
  KeepLatest(objects.relations);
  for (const osmium::Node* node : nodes)
    if (node->location().valid()) objects.nodes.emplace_back(node->id(), node->location());
  for (const auto& [id, location] : objects.nodes) {
    if (data.hasBounds) break;
    if (data.nodes++ == 0) data.boundsMin = data.boundsMax = ToLatLon(location);
    data.boundsMin = {std::min(data.boundsMin.lat, location.lat()),
                      std::min(data.boundsMin.lon, location.lon())};
    data.boundsMax = {std::max(data.boundsMax.lat, location.lat()),
                      std::max(data.boundsMax.lon, location.lon())};
  }
  data.nodes = objects.nodes.size();
  data.ways = objects.ways.size();
  data.relations = objects.relations.size();
}

// The location of node id, or an undefined one.
osmium::Location LocationOf(const Objects& objects, std::int64_t id) {
  const auto it = std::lower_bound(objects.nodes.begin(), objects.nodes.end(), id,
                                   [](const std::pair<std::int64_t, osmium::Location>& n,
                                      std::int64_t v) { return n.first < v; });
  return it != objects.nodes.end() && it->first == id ? it->second : osmium::Location{};
}

// Gives every node of every way its location; false for a way that misses some.
std::vector<bool> LocateWayNodes(const Objects& objects) {
  std::vector<bool> complete(objects.ways.size(), true);
  for (std::size_t w = 0; w < objects.ways.size(); ++w) {
    for (osmium::NodeRef& ref : objects.ways[w]->nodes()) {
      ref.set_location(LocationOf(objects, ref.ref()));
      if (!ref.location().valid()) complete[w] = false;
    }
  }
  return complete;
}

MapTags TagsOf(const osmium::TagList& list) {
  MapTags tags;
  for (const osmium::Tag& tag : list)
    if (IsTagRead(tag.key())) tags.items.emplace_back(tag.key(), tag.value());
  std::stable_sort(tags.items.begin(), tags.items.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return tags;
}

// The polygons of an assembled area.
std::vector<MapPolygon> PolygonsOf(const osmium::Area& area) {
  std::vector<MapPolygon> polygons;
  for (const osmium::OuterRing& outer : area.outer_rings()) {
    MapPolygon polygon;
    for (const osmium::NodeRef& ref : outer) polygon.outer.push_back(ToLatLon(ref.location()));
    for (const osmium::InnerRing& inner : area.inner_rings(outer)) {
      polygon.inners.emplace_back();
      for (const osmium::NodeRef& ref : inner)
        polygon.inners.back().push_back(ToLatLon(ref.location()));
    }
    polygons.push_back(std::move(polygon));
  }
  return polygons;
}

}  // namespace

const char* MapTags::Get(const char* key) const {
  for (const auto& [k, v] : items)
    if (k == key) return v.c_str();
  return nullptr;
}

namespace {

// The members of relation that are ways, as the assembler wants them; empty when one is
// missing from the data or misses nodes.
std::vector<const osmium::Way*> MemberWays(const Objects& objects,
                                           const std::vector<bool>& complete,
                                           const osmium::Relation& relation) {
  std::vector<const osmium::Way*> members;
  for (const osmium::RelationMember& member : relation.members()) {
    if (member.type() != osmium::item_type::way) continue;
    const auto it =
        std::lower_bound(objects.ways.begin(), objects.ways.end(), member.ref(),
                         [](const osmium::Way* w, std::int64_t id) { return w->id() < id; });
    if (it == objects.ways.end() || (*it)->id() != member.ref() ||
        !complete[static_cast<std::size_t>(it - objects.ways.begin())])
      return {};
    members.push_back(*it);
  }
  return members;
}

// Assembles an area from a closed way or a relation with its member ways; false when the
// assembler refuses it.
template <typename... Args>
bool Assemble(MapArea& area, const Args&... args) {
  osmium::area::AssemblerConfig config;
  osmium::area::Assembler assembler{config};
  osmium::memory::Buffer out{4096, osmium::memory::Buffer::auto_grow::yes};
  if (!assembler(args..., out)) return false;
  for (const osmium::Area& assembled : out.select<osmium::Area>())
    area.polygons = PolygonsOf(assembled);
  return !area.polygons.empty();
}

bool IsMultipolygon(const osmium::Relation& relation) {
  const char* type = relation.tags().get_value_by_key("type");
  return type != nullptr && std::strcmp(type, "multipolygon") == 0;
}

// The multipolygon relations: buildings and areas, and the ways that are their outer members
// (which are not built again on their own).
void CollectRelations(const Objects& objects, const std::vector<bool>& complete, MapData& data,
                      std::unordered_set<std::int64_t>& outerWays) {
  for (const osmium::Relation* relation : objects.relations) {
    if (!IsMultipolygon(*relation)) continue;
    MapArea area{relation->id(), true, TagsOf(relation->tags()), {}};
    const bool building = IsBuilding(area.tags);
    if (!building && AreaGroundOf(area.tags) == Ground::kGround) continue;
    for (const osmium::RelationMember& member : relation->members())
      if (member.type() == osmium::item_type::way && std::strcmp(member.role(), "inner") != 0)
        outerWays.insert(member.ref());
    const std::vector<const osmium::Way*> members = MemberWays(objects, complete, *relation);
    bool built = false;
    if (!members.empty()) built = Assemble(area, *relation, members);
    if (building) {
      if (members.empty())
        ++data.leftOut.missingNodes;
      else if (!built)
        ++data.leftOut.rejected;
      else
        data.buildings.push_back(std::move(area));
    } else if (built) {
      data.areas.push_back(std::move(area));
    } else {
      ++data.areasLeftOut;
    }
  }
}

// Whether a way's first and last nodes are the same.
bool Closed(const osmium::Way& way) {
  return way.nodes().size() >= 2 && way.nodes().front().ref() == way.nodes().back().ref();
}

// Twice the area a closed way's nodes enclose, in units of the map's fixed-point degrees.
double TwiceWayArea(const osmium::Way& way) {
  double sum = 0;
  const osmium::WayNodeList& nodes = way.nodes();
  for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
    const osmium::Location a = nodes[i].location(), b = nodes[i + 1].location();
    sum += static_cast<double>(a.x()) * b.y() - static_cast<double>(a.y()) * b.x();
  }
  return sum;
}

// A building way: built, or counted among those left out.
void CollectBuildingWay(const osmium::Way& way, bool complete, MapTags tags, MapData& data) {
  if (!Closed(way)) {
    ++data.leftOut.notClosed;
    return;
  }
  if (!complete) {
    ++data.leftOut.missingNodes;
    return;
  }
  if (TwiceWayArea(way) == 0) {
    ++data.leftOut.noArea;
    return;
  }
  MapArea area{way.id(), false, std::move(tags), {}};
  if (!Assemble(area, way)) {
    ++data.leftOut.rejected;
    return;
  }
  data.buildings.push_back(std::move(area));
}

// A street's points, in runs broken where nodes are missing.
MapStreet StreetOf(const osmium::Way& way, MapTags tags) {
  MapStreet street{way.id(), std::move(tags), {{}}};
  for (const osmium::NodeRef& ref : way.nodes()) {
    if (!ref.location().valid()) {
      if (!street.runs.back().empty()) street.runs.emplace_back();
      continue;
    }
    street.runs.back().push_back(ToLatLon(ref.location()));
  }
  street.runs.erase(std::remove_if(street.runs.begin(), street.runs.end(),
                                   [](const auto& run) { return run.size() < 2; }),
                    street.runs.end());
  return street;
}

// The ways: buildings, areas and streets.
void CollectWays(const Objects& objects, const std::vector<bool>& complete,
                 const std::unordered_set<std::int64_t>& outerWays, MapData& data) {
  std::vector<MapArea> wayAreas;
  for (std::size_t w = 0; w < objects.ways.size(); ++w) {
    const osmium::Way& way = *objects.ways[w];
    MapTags tags = TagsOf(way.tags());
    if (IsBuilding(tags)) {
      if (outerWays.count(way.id()) == 0)
        CollectBuildingWay(way, complete[w], std::move(tags), data);
      continue;
    }
    if (AreaGroundOf(tags) != Ground::kGround) {
      if (outerWays.count(way.id()) != 0 || !Closed(way)) continue;
      MapArea area{way.id(), false, std::move(tags), {}};
      if (complete[w] && Assemble(area, way))
        wayAreas.push_back(std::move(area));
      else
        ++data.areasLeftOut;
      continue;
    }
    if (StreetClassOf(tags) != nullptr) {
      MapStreet street = StreetOf(way, std::move(tags));
      if (!street.runs.empty()) data.streets.push_back(std::move(street));
    }
  }
  // Ways first, then relations, each by id.
  std::stable_partition(data.buildings.begin(), data.buildings.end(),
                        [](const MapArea& a) { return !a.relation; });
  data.areas.insert(data.areas.begin(), std::make_move_iterator(wayAreas.begin()),
                    std::make_move_iterator(wayAreas.end()));
}

}  // namespace

bool ReadMapBytes(const char* bytes, std::size_t size, MapData& data, std::string& error) {
  data = MapData{};
  try {
    Objects objects;
    ReadObjects(bytes, size, objects, data);
    if (objects.nodes.empty() && objects.ways.empty() && objects.relations.empty()) {
      error = "holds no OpenStreetMap data";
      return false;
    }
    const std::vector<bool> complete = LocateWayNodes(objects);
    std::unordered_set<std::int64_t> outerWays;
    CollectRelations(objects, complete, data, outerWays);
    CollectWays(objects, complete, outerWays, data);
  } catch (const std::exception& e) {
    data = MapData{};
    error = std::string("not readable OpenStreetMap data: ") + e.what();
    return false;
  }
  return true;
}
