return "sibling"
