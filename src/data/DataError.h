#pragma once

#include <QString>

#include <stdexcept>

// A failure of the store, worded for the user: the engine's own text where it has one.
class DataError : public std::runtime_error {
public:
    explicit DataError(const QString& description)
        : std::runtime_error(description.toStdString())
        , m_description(description)
    {
    }

    QString description() const { return m_description; }

private:
    QString m_description;
};
