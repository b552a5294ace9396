#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ph {

// A claim file that is truncated or damaged: which file, on which line, and what is wrong.
class DamagedClaimFile : public Error {
public:
    DamagedClaimFile(const QString& file, int line, const QString& what);
    int line() const { return m_line; }

private:
    int m_line;
};

// Where the parts of a claim file lie, found by reading it whole once.
struct ClaimFileOutline {
    // The custom layout: the file wrapped in <Y>…</Y> and each prescription in <X>…</X>.
    bool wrapped = false;
    QByteArray dc, fd, td; // the heading's pharmacy code and period (yymmdd)
    // One prescription: its date (ND, yymmdd) and the bytes from its <SQ> line to the end of
    // its </BY> line, CR LF included.
    struct Block {
        QByteArray date;
        qint64 offset = 0;
        qint64 size = 0;
        bool wholeShares = true; // PS and IS are whole Rials
    };
    QList<Block> blocks;
};

// Reads a claim file completely, line by line without holding it, and checks it has the
// layout the insurance list writes (any of its three): every line ended by CR LF, no control
// character or NUL, the heading, every element opened and closed in its place, every block
// whole, the prescriptions numbered 1, 2, 3 … and as many as the heading's count, the
// shares numbers. Throws DamagedClaimFile at the first fault, or ph::Error when the
// file cannot be read.
ClaimFileOutline checkClaimFile(const QString& path);

} // namespace ph
