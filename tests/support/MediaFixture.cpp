// Filled in by the fixture generator.
