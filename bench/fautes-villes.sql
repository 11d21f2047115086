-- Misspells the town of one client in three, as salon staff type them: a
-- letter dropped, doubled or swapped, blanks for hyphens, ST for SAINT, an
-- accent added. The letter touched moves with the client, so most misspelt
-- towns are distinct values.
UPDATE FCLI SET Ville = CASE (rowid / 3) % 6
  WHEN 0 THEN substr(Ville, 1, 1 + rowid % (length(Ville) - 2))
              || substr(Ville, 3 + rowid % (length(Ville) - 2))
  WHEN 1 THEN substr(Ville, 1, 2 + rowid % (length(Ville) - 2))
              || substr(Ville, 2 + rowid % (length(Ville) - 2))
  WHEN 2 THEN substr(Ville, 1, 1 + rowid % (length(Ville) - 2))
              || substr(Ville, 3 + rowid % (length(Ville) - 2), 1)
              || substr(Ville, 2 + rowid % (length(Ville) - 2), 1)
              || substr(Ville, 4 + rowid % (length(Ville) - 2))
  WHEN 3 THEN replace(replace(Ville, 'SAINT-', 'ST '), '-', ' ')
  WHEN 4 THEN replace(Ville, 'E', 'É')
  ELSE substr(Ville, 1, 1 + rowid % (length(Ville) - 2)) || 'E'
       || substr(Ville, 2 + rowid % (length(Ville) - 2))
END
WHERE rowid % 3 = 0 AND length(Ville) > 3;
