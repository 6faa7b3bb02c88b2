#pragma once
// Sanitizer builds only: keeps the loaded GL driver resident after its
// context goes, so LeakSanitizer sees the driver's own caches as reachable
// instead of reporting them as leaks from an unloaded module.
void keep_gl_driver_loaded();
