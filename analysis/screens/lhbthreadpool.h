#pragma once

class QObject;
class QThreadPool;

// A thread pool that runs its tasks one at a time, in the order started.
// The caller owns the pool (or its parent does).
QThreadPool* createSingleThreadPool(QObject* parent = nullptr);
