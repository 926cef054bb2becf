-- The rows a new installation starts with: the envelope tab's initial options (portrait, DL,
-- ruler and lock on, centre feed and rotation off), so that the first start shows them.
-- No box texts and no stored formats: the design texts and places stand until the user saves.
INSERT INTO 默认 (Ord, Val) VALUES
  (2, 'False'), (9, '1'), (0, 'True'), (3, 'False'), (10, '1'), (1, 'False'), (4, 'True'),
  (5, 'False'), (6, 'False'), (7, 'False'), (8, 'False'), (11, '0'), (12, '0');
