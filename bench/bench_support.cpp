// Shared by the benchmark programs: nothing yet beyond linking the core.
