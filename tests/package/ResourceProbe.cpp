// A DLL with no code of its own: it exists to carry a package release's
// resources, which the probe test reads back.
