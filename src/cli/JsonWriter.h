// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace ordano::cli {

// Writes one JSON document to a stream as it goes: objects, arrays, texts (UTF-8, escaped as
// JSON asks; a byte that is not UTF-8 is read as Windows-1252), whole numbers, booleans and
// null. Each element of the outermost array starts a line of its own, so a long list stays
// readable and greppable; an outermost object is one line (a JSON line).
//
//   JsonWriter json(std::cout);
//   json.begin_array();
//   json.begin_object().member("file", "M0015001.033").member("size", 12).end_object();
//   json.end_array();  // [\n{"file":"M0015001.033","size":12}\n]\n
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    JsonWriter& begin_object();
    JsonWriter& end_object();
    JsonWriter& begin_array();
    JsonWriter& end_array();
    // The name of the next member of the object being written.
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    template <typename T>
    JsonWriter& member(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

private:
    void before_value();
    void close(char bracket);
    void write_text(std::string_view text);

    std::ostream& out_;
    std::vector<bool> has_elements_;  // one per open object or array
    bool after_key_ = false;
};

}  // namespace ordano::cli
