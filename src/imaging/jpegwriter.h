#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QIODevice;

// Writes a baseline JPEG row by row, so that a page drawn in bands is
// encoded as its bands come and never held whole. The settings are those
// of Qt's own writer (4:2:0, standard tables, JFIF density in dots per
// inch), so that the file is the one QImageWriter would make.
class JpegWriter
{
    Q_DECLARE_TR_FUNCTIONS(JpegWriter)

public:
    JpegWriter(QIODevice *device, const QSize &size, int quality, int dotsPerInch);
    ~JpegWriter();

    Q_DISABLE_COPY(JpegWriter)

    // The next rows of the page, from the top of `band` (32-bit pixels of
    // the page's width, opaque). False after any failure.
    bool writeRows(const QImage &band, int rows);
    // Ends the file; false when anything failed, the reason in errorString().
    bool finish();
    QString errorString() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
