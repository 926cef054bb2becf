-- The rows a new installation starts with: the envelope tab's initial options (portrait, DL,
-- ruler and lock on, centre feed and rotation off), so that the first start shows them.
-- No stored formats of the user: the shipped ones (标准格式) stand until the user saves.
INSERT INTO 默认 (Ord, Val) VALUES
  (2, 'False'), (9, '1'), (0, 'True'), (3, 'False'), (10, '1'), (1, 'False'), (4, 'True'),
  (5, 'False'), (6, 'False'), (7, 'False'), (8, 'False'), (11, '0'), (12, '0'), (13, '1');

-- A sample sender address, so that the first start shows a whole envelope; the user types over it.
INSERT INTO 内容 (Ctl, Con) VALUES (8, '北京市丰台区南三环西路16号');
