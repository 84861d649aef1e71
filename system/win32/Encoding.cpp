// Placeholder; replaced by the Windows adapters.
