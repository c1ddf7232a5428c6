// A folder the diagram does not draw.
