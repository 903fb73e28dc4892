#pragma once

// True when no other instance holds the named mutex in this session. Otherwise gives the handle back,
// queues the quit message that ends this instance, and returns false. The mutex is held until exit.
bool CheckSingleInstance(const wchar_t* name);

extern const wchar_t kInstanceMutexName[];
