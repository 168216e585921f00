// Anchors the foundation library while it has only header-only types.
