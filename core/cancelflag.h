#pragma once

#include <QAtomicInt>
#include <QObject>

// A stop request that other threads watch: a pause or fetch that is given
// the flag returns as soon as it is raised, even in the middle of its wait.
// Raise it from any thread; the waits are woken through their event loops.
// Not final: tests derive from it to raise it at the moment a wait starts
// watching it.
class CancelFlag : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(CancelFlag)
public:
    explicit CancelFlag(QObject* parent = nullptr) : QObject(parent) {}

    bool isCancelled() const { return m_cancelled.loadAcquire() != 0; }
    void cancel() {
        if (m_cancelled.testAndSetOrdered(0, 1))
            emit cancelled();
    }

signals:
    void cancelled();

private:
    QAtomicInt m_cancelled{0};
};
