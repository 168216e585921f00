// Result<T>: a value, or an error that says what went wrong and where.
// Parsers of outside input return it instead of a default object that looks valid.
#pragma once

#include <string>
#include <utility>
#include <variant>

struct ParseError {
    int code = 0;
    std::string message;
    int line = 0;      // 1-based; 0 when not tied to a line
    int column = 0;    // 1-based; 0 when not tied to a column
    std::string text;  // the offending input, when there is one
};

template <typename T>
class Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(ParseError error) : m_data(std::move(error)) {}

    bool Ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return Ok(); }
    const T& Value() const& { return std::get<0>(m_data); }
    T& Value() & { return std::get<0>(m_data); }
    T&& Value() && { return std::get<0>(std::move(m_data)); }
    const ParseError& Error() const { return std::get<1>(m_data); }

private:
    std::variant<T, ParseError> m_data;
};
