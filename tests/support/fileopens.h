#pragma once

#include <QString>

// Counts the opens of one file by any process, through the kernel's file
// notifications, from the object's creation on.
class FileOpenCounter {
public:
    explicit FileOpenCounter(const QString& path);
    ~FileOpenCounter();
    FileOpenCounter(const FileOpenCounter&) = delete;
    FileOpenCounter& operator=(const FileOpenCounter&) = delete;

    // The opens so far.
    int count();

private:
    int m_fd;
    int m_count = 0;
};
