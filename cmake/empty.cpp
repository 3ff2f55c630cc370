// Placeholder source for targets whose sources have not landed yet.
