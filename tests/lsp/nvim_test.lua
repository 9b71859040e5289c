-- Neovim's built-in language client against tessel lsp: opens a faulty
-- dialog file, waits for the diagnostics, and asks for hover, completion,
-- definition and formatting. Quits with status 1 on the first failed check.
local function fail(message)
  io.stderr:write("FAIL: " .. message .. "\n")
  vim.cmd("cquit 1")
end

local function check(condition, message)
  if not condition then error(message, 0) end
end

local function run()
  vim.cmd("edit " .. os.getenv("DLG_FILE"))
  local buf = vim.api.nvim_get_current_buf()
  local id = vim.lsp.start_client({ name = "tessel", cmd = { os.getenv("TESSEL"), "lsp" }, root_dir = vim.fn.getcwd() })
  check(id, "the client did not start")
  vim.lsp.buf_attach_client(buf, id)

  local got = vim.wait(10000, function() return #vim.diagnostic.get(buf) >= 2 end, 20)
  check(got, "no diagnostics arrived")
  local codes = {}
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    codes[d.lnum .. ":" .. d.col .. ":" .. tostring(d.code)] = d.severity
    check(d.source == "tessel", "diagnostic source " .. tostring(d.source))
  end
  check(codes["5:7:unknown-identifier"] == vim.diagnostic.severity.WARN, "unknown-identifier: " .. vim.inspect(codes))
  check(codes["6:0:unknown-type"] == vim.diagnostic.severity.ERROR, "unknown-type: " .. vim.inspect(codes))

  local uri = vim.uri_from_bufnr(buf)
  local function request(method, params)
    local answers = vim.lsp.buf_request_sync(buf, method, params, 5000)
    check(answers and answers[id], method .. ": no answer")
    check(not answers[id].err, method .. ": " .. vim.inspect(answers[id].err))
    return answers[id].result
  end
  local function at(line, character)
    return { textDocument = { uri = uri }, position = { line = line, character = character } }
  end

  local hover = request("textDocument/hover", at(4, 15))
  check(hover and hover.contents.value:find("EDIT with 30 >= left column 5, so x2 = 30", 1, true),
        "hover: " .. vim.inspect(hover))

  local completion = request("textDocument/completion", at(5, 9))
  local labels = {}
  for _, item in ipairs(completion.items or completion) do labels[item.label] = true end
  check(labels["eOk"] and labels["eName"], "completion: " .. vim.inspect(labels))

  local definition = request("textDocument/definition", at(4, 7))
  check(definition and definition.range.start.line == 1 and definition.range.start.character == 7,
        "definition: " .. vim.inspect(definition))

  local edits = request("textDocument/formatting",
                        { textDocument = { uri = uri }, options = { tabSize = 2, insertSpaces = true } })
  check(type(edits) == "table", "formatting: " .. vim.inspect(edits))
  vim.lsp.util.apply_text_edits(edits, buf, vim.lsp.get_client_by_id(id).offset_encoding)

  -- A fix in the buffer reaches the server as a change, and the finding goes.
  vim.api.nvim_buf_set_lines(buf, 6, 7, false, { 'CHECKBOX 1 5 2 0 2 F 0 () F "x"' })
  got = vim.wait(10000, function()
    for _, d in ipairs(vim.diagnostic.get(buf)) do
      if d.code == "unknown-type" then return false end
    end
    return true
  end, 20)
  check(got, "the fixed line still has its finding")
  vim.lsp.stop_client(id)
end

local ok, message = pcall(run)
if not ok then fail(tostring(message)) end
vim.cmd("qall!")
