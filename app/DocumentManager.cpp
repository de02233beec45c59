#include "app/DocumentManager.h"

#include <QFileInfo>
#include <algorithm>

namespace faceto {

namespace {

// The path with links resolved, for telling whether two names are one file; as given when there is no
// such file.
QString canonicalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

CFacetoDoc* DocumentManager::add(std::unique_ptr<CFacetoDoc> doc) {
    documents_.push_back(std::move(doc));
    return documents_.back().get();
}

CFacetoDoc* DocumentManager::find(const QString& path) const {
    const QString wanted = canonicalPath(path);
    for (const auto& doc : documents_) {
        if (!doc->pathName().empty() && canonicalPath(QString::fromStdString(doc->pathName())) == wanted) {
            return doc.get();
        }
    }
    return nullptr;
}

bool DocumentManager::close(const CFacetoDoc* doc) {
    auto it =
        std::find_if(documents_.begin(), documents_.end(), [&](const auto& d) { return d.get() == doc; });
    if (it == documents_.end()) {
        return false;
    }
    documents_.erase(it);
    return true;
}

void DocumentManager::closeAll() {
    while (!documents_.empty()) {
        documents_.pop_back();
    }
}

} // namespace faceto
