// SPDX-License-Identifier: GPL-3.0-or-later
#include "Mark.h"

QString Mark::word() const {
    switch (type) {
    case Type::Kind:
        return CodeKinds::name(kind);
    case Type::Label:
        return QStringLiteral("label");
    case Type::Comment:
        return QStringLiteral("comment");
    case Type::Bookmark:
        return QStringLiteral("bookmark");
    }
    return {};
}
